#include "platform/RegistryKey.h"

#include "platform/RegistryNames.h"

#include <algorithm>
#include <utility>

namespace korvana {

// Each key owns its sub-keys, so the default destructor would free a chain of
// keys by a recursion as deep as the chain. Taking the sub-keys over first
// frees every key with no sub-keys left, whatever the depth.
RegistryKey::~RegistryKey() {
    std::vector<std::unique_ptr<RegistryKey>> doomed = std::move(children_);
    while (!doomed.empty()) {
        std::unique_ptr<RegistryKey> key = std::move(doomed.back());
        doomed.pop_back();
        for (auto& child : key->children_) {
            doomed.push_back(std::move(child));
        }
        key->children_.clear();
    }
}

const RegistryKey* RegistryKey::child(std::string_view name) const {
    const auto it = index_.find(foldRegistryName(name));
    return it == index_.end() ? nullptr : it->second;
}

RegistryKey* RegistryKey::child(std::string_view name) {
    const auto it = index_.find(foldRegistryName(name));
    return it == index_.end() ? nullptr : it->second;
}

RegistryKey& RegistryKey::childOrCreate(std::string_view name, bool& created) {
    auto folded = foldRegistryName(name);
    if (const auto it = index_.find(folded); it != index_.end()) {
        return *it->second;
    }
    children_.push_back(std::make_unique<RegistryKey>(std::string(name)));
    RegistryKey* added = children_.back().get();
    index_.emplace(std::move(folded), added);
    created = true;
    return *added;
}

bool RegistryKey::removeChild(std::string_view name) {
    const auto it = index_.find(foldRegistryName(name));
    if (it == index_.end()) {
        return false;
    }
    const RegistryKey* doomed = it->second;
    index_.erase(it);
    std::erase_if(children_, [doomed](const auto& c) { return c.get() == doomed; });
    return true;
}

const RegistryKey* RegistryKey::find(const std::vector<std::string_view>& path) const {
    const RegistryKey* current = this;
    for (const auto part : path) {
        current = current->child(part);
        if (!current) {
            return nullptr;
        }
    }
    return current;
}

RegistryKey* RegistryKey::find(const std::vector<std::string_view>& path) {
    return const_cast<RegistryKey*>(std::as_const(*this).find(path));
}

const RegistryValue* RegistryKey::value(std::string_view name) const {
    for (const auto& v : values_) {
        if (sameRegistryName(v.name, name)) {
            return &v.value;
        }
    }
    return nullptr;
}

bool RegistryKey::setValue(std::string_view name, RegistryValue value) {
    for (auto& v : values_) {
        if (sameRegistryName(v.name, name)) {
            if (v.value == value) {
                return false;
            }
            v.value = std::move(value);
            return true;
        }
    }
    values_.push_back({std::string(name), std::move(value)});
    return true;
}

bool RegistryKey::removeValue(std::string_view name) {
    return std::erase_if(values_,
                         [&](const NamedValue& v) { return sameRegistryName(v.name, name); }) > 0;
}

} // namespace korvana
