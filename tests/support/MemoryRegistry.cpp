#include "support/MemoryRegistry.h"

#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>

namespace korvana::test {

namespace {

std::vector<std::string> splitKey(std::string_view key) {
    std::vector<std::string> parts;
    if (key.empty()) {
        return parts;
    }
    size_t start = 0;
    while (true) {
        const size_t end = key.find('\\', start);
        const auto part = key.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty()) {
            throw Error("Registry key path '" + std::string(key) + "' has an empty part");
        }
        parts.emplace_back(part);
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

} // namespace

MemoryRegistry::Key* MemoryRegistry::find(Hive hive, std::string_view key, bool create) {
    Key* current = hive == Hive::LocalMachine ? &machine_ : &user_;
    for (const auto& part : splitKey(key)) {
        auto it = std::find_if(current->children.begin(), current->children.end(),
                               [&](const Key& k) { return equalsIgnoreCase(k.name, part); });
        if (it == current->children.end()) {
            if (!create) {
                return nullptr;
            }
            current->children.push_back({part, {}, {}});
            current = &current->children.back();
        } else {
            current = &*it;
        }
    }
    return current;
}

const MemoryRegistry::Key* MemoryRegistry::find(Hive hive, std::string_view key) const {
    return const_cast<MemoryRegistry*>(this)->find(hive, key, false);
}

std::optional<RegistryValue> MemoryRegistry::value(Hive hive, std::string_view key,
                                                   std::string_view name) const {
    const Key* found = find(hive, key);
    if (!found) {
        return std::nullopt;
    }
    for (const auto& v : found->values) {
        if (equalsIgnoreCase(v.name, name)) {
            return v.value;
        }
    }
    return std::nullopt;
}

void MemoryRegistry::setValue(Hive hive, std::string_view key, std::string_view name,
                              const RegistryValue& value) {
    Key* target = find(hive, key, true);
    for (auto& v : target->values) {
        if (equalsIgnoreCase(v.name, name)) {
            v.value = value;
            return;
        }
    }
    target->values.push_back({std::string(name), value});
}

std::vector<std::string> MemoryRegistry::subKeys(Hive hive, std::string_view key) const {
    std::vector<std::string> names;
    if (const Key* found = find(hive, key)) {
        for (const auto& child : found->children) {
            names.push_back(child.name);
        }
    }
    return names;
}

std::vector<NamedValue> MemoryRegistry::values(Hive hive, std::string_view key) const {
    const Key* found = find(hive, key);
    return found ? found->values : std::vector<NamedValue>{};
}

bool MemoryRegistry::keyExists(Hive hive, std::string_view key) const {
    return find(hive, key) != nullptr;
}

void MemoryRegistry::deleteKey(Hive hive, std::string_view key) {
    const auto parts = splitKey(key);
    if (parts.empty()) {
        return;
    }
    std::string parent;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        parent += (i ? "\\" : "") + parts[i];
    }
    if (Key* owner = find(hive, parent, false)) {
        std::erase_if(owner->children,
                      [&](const Key& k) { return equalsIgnoreCase(k.name, parts.back()); });
    }
}

void MemoryRegistry::deleteValue(Hive hive, std::string_view key, std::string_view name) {
    if (Key* found = find(hive, key, false)) {
        std::erase_if(found->values,
                      [&](const NamedValue& v) { return equalsIgnoreCase(v.name, name); });
    }
}

} // namespace korvana::test
