#pragma once

#include "platform/RegFileEntry.h"

#include <string>
#include <string_view>

namespace korvana {

class RegistryKey;

// Applies the entries of a regedit file to one hive's root key one at a time,
// as the parser hands them over, so that a large file is never held as a
// list of entries beside the hive it fills. Entries of the other hive are
// passed over, with the values that follow their key.
class RegFileApplier {
  public:
    RegFileApplier(Hive hive, RegistryKey& root) : hive_(hive), root_(root) {}

    void apply(const RegFileEntry& entry);
    // The same, moving the value's data into the hive instead of copying it.
    void apply(RegFileEntry&& entry);
    // Whether any entry changed the hive.
    bool changed() const { return changed_; }

  private:
    RegistryKey& keyAt(std::string_view path);

    Hive hive_;
    RegistryKey& root_;
    RegistryKey* current_ = nullptr;
    bool changed_ = false;
    // The parent of the last key line's key, and its path as that line named
    // it; reset when a key is deleted, as the parent may go with it.
    RegistryKey* lastParent_ = nullptr;
    std::string lastParentPath_;
};

} // namespace korvana
