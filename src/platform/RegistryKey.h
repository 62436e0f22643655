#pragma once

#include "platform/Registry.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvana {

// One key of a hive held in memory: its values in stored order and its
// sub-keys in creation order (the order they are written back in). Sub-keys
// are also indexed by folded name, because the project list keeps thousands of
// keys under one parent and every lookup goes through it.
class RegistryKey {
  public:
    explicit RegistryKey(std::string name) : name_(std::move(name)) {}
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
    std::string name_;
    std::vector<NamedValue> values_;
    std::vector<std::unique_ptr<RegistryKey>> children_;
    std::unordered_map<std::string, RegistryKey*> index_;
};

} // namespace korvana
