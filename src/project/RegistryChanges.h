#pragma once

#include "platform/Registry.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// Writes to the registry that stand or fall together. Before the first write
// to a key its values are remembered (or, for a key that did not exist, the
// highest key on its path that the write creates), so that `undo` can put the
// registry back as it was: a registration that fails half-way leaves no key
// and no value behind. Changes not kept are undone when the object goes.
class RegistryChanges {
  public:
    explicit RegistryChanges(Registry& registry) : registry_(registry) {}
    ~RegistryChanges();
    RegistryChanges(const RegistryChanges&) = delete;
    RegistryChanges& operator=(const RegistryChanges&) = delete;

    // Raises korvana::Error like Registry::writeString; what was written
    // before stays undoable.
    void writeString(Hive hive, std::string_view key, std::string_view name, std::string_view text);

    // The changes stand.
    void keep() { touched_.clear(); }

    // Puts back what the touched keys held, the latest first. Goes on past a
    // failing step and answers false when one failed: the registry is then
    // broken in a way the caller has usually reported already (the same fault
    // made the write fail).
    bool undo() noexcept;

  private:
    struct Before {
        Hive hive;
        std::string key;
        // The highest key on the path that did not exist; empty when `key` did.
        std::string created;
        std::vector<NamedValue> values;
    };

    void remember(Hive hive, std::string_view key);
    void restore(const Before& before);

    Registry& registry_;
    std::vector<Before> touched_;
};

} // namespace korvana
