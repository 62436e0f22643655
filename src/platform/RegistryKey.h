#pragma once

#include "platform/Registry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// One key of a hive held in memory: its values in stored order and its
// sub-keys in creation order (the order they are written back in). Sub-keys
// are also indexed by the hash of their folded name, because the project list
// keeps thousands of keys under one parent and every lookup goes through it.
// The index is one flat table of positions rather than a node per sub-key: a
// large hive has a hundred thousand keys, and each allocation of its tree is
// paid again when the tree is freed.
class RegistryKey {
  public:
    explicit RegistryKey(std::string name);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& name() const { return name_; }
    const std::vector<NamedValue>& values() const { return values_; }
    const std::vector<std::unique_ptr<RegistryKey>>& children() const { return children_; }

    const RegistryKey* child(std::string_view name) const;
    RegistryKey* child(std::string_view name);
    // The sub-key of that name; created (with this case) when missing.
    RegistryKey& childOrCreate(std::string_view name, bool& created);
    // Removes the sub-key with everything below it; false when there was none.
    bool removeChild(std::string_view name);

    // Walks down from this key; null when a key on the way is missing.
    const RegistryKey* find(const std::vector<std::string_view>& path) const;
    RegistryKey* find(const std::vector<std::string_view>& path);

    const RegistryValue* value(std::string_view name) const;
    // False when the value was already stored as it is (nothing to write).
    bool setValue(std::string_view name, RegistryValue value);
    bool removeValue(std::string_view name);

  private:
    std::ptrdiff_t position(std::string_view name, std::size_t foldedHash) const;
    void indexChild(std::size_t position);
    void rebuildIndex();

    std::string name_;
    // The hash of the folded name, by which the parent's index finds this key.
    std::size_t foldedHash_;
    std::vector<NamedValue> values_;
    std::vector<std::unique_ptr<RegistryKey>> children_;
    // Open addressing over the positions in children_ (stored plus one; zero
    // is a free slot); empty while there are few enough sub-keys to look at
    // each.
    std::vector<std::uint32_t> index_;
};

} // namespace korvana
