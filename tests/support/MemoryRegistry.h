#pragma once

#include "platform/Registry.h"

#include <map>
#include <string>
#include <vector>

namespace korvana::test {

// A registry held in memory with the Windows matching rules (names without
// regard to case, case kept as created). For tests of the layers above the
// registry, which should not depend on the file backend.
class MemoryRegistry : public Registry {
  public:
    std::optional<RegistryValue> value(Hive hive, std::string_view key,
                                       std::string_view name) const override;
    void setValue(Hive hive, std::string_view key, std::string_view name,
                  const RegistryValue& value) override;
    std::vector<std::string> subKeys(Hive hive, std::string_view key) const override;
    std::vector<NamedValue> values(Hive hive, std::string_view key) const override;
    bool keyExists(Hive hive, std::string_view key) const override;
    void deleteKey(Hive hive, std::string_view key) override;
    void deleteValue(Hive hive, std::string_view key, std::string_view name) override;

  private:
    struct Key {
        std::string name;
        std::vector<NamedValue> values;
        std::vector<Key> children;
    };
    Key* find(Hive hive, std::string_view key, bool create);
    const Key* find(Hive hive, std::string_view key) const;

    Key machine_{"HKEY_LOCAL_MACHINE", {}, {}};
    Key user_{"HKEY_CURRENT_USER", {}, {}};
};

} // namespace korvana::test
