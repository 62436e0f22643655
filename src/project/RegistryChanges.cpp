#include "project/RegistryChanges.h"

#include "platform/TextUtil.h"

#include <algorithm>
#include <exception>

namespace korvana {

namespace {

const NamedValue* findValue(const std::vector<NamedValue>& values, std::string_view name) {
    const auto it = std::find_if(values.begin(), values.end(), [name](const NamedValue& value) {
        return equalsIgnoreCase(value.name, name);
    });
    return it == values.end() ? nullptr : &*it;
}

} // namespace

RegistryChanges::~RegistryChanges() {
    undo();
}

void RegistryChanges::writeString(Hive hive, std::string_view key, std::string_view name,
                                  std::string_view text) {
    remember(hive, key);
    registry_.writeString(hive, key, name, text);
}

void RegistryChanges::remember(Hive hive, std::string_view key) {
    const bool known = std::any_of(touched_.begin(), touched_.end(), [&](const Before& before) {
        return before.hive == hive && equalsIgnoreCase(before.key, key);
    });
    if (known) {
        return;
    }
    Before before{hive, std::string(key), {}, {}};
    if (registry_.keyExists(hive, key)) {
        before.values = registry_.values(hive, key);
    } else {
        // Deleting the highest key the write makes takes the whole new branch.
        for (std::size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
            const std::string_view path = key.substr(0, end);
            if (!registry_.keyExists(hive, path)) {
                before.created = std::string(path);
                break;
            }
            if (end == std::string_view::npos) {
                break;
            }
        }
    }
    touched_.push_back(std::move(before));
}

void RegistryChanges::restore(const Before& before) {
    if (!before.created.empty()) {
        registry_.deleteKey(before.hive, before.created);
        return;
    }
    for (const auto& now : registry_.values(before.hive, before.key)) {
        if (!findValue(before.values, now.name)) {
            registry_.deleteValue(before.hive, before.key, now.name);
        }
    }
    const auto current = registry_.values(before.hive, before.key);
    for (const auto& old : before.values) {
        const NamedValue* now = findValue(current, old.name);
        if (!now || !(now->value == old.value)) {
            registry_.setValue(before.hive, before.key, old.name, old.value);
        }
    }
}

bool RegistryChanges::undo() noexcept {
    bool restored = true;
    for (auto it = touched_.rbegin(); it != touched_.rend(); ++it) {
        try {
            restore(*it);
        } catch (const std::exception&) {
            restored = false;
        }
    }
    touched_.clear();
    return restored;
}

} // namespace korvana
