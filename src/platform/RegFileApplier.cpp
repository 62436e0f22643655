#include "platform/RegFileApplier.h"

#include "platform/RegistryKey.h"
#include "platform/RegistryNames.h"

#include <utility>

namespace korvana {

void RegFileApplier::apply(RegFileEntry&& entry) {
    if (entry.kind == RegFileEntry::Kind::Value && current_) {
        changed_ = current_->setValue(entry.name, std::move(entry.value)) || changed_;
        return;
    }
    apply(std::as_const(entry));
}

void RegFileApplier::apply(const RegFileEntry& entry) {
    switch (entry.kind) {
    case RegFileEntry::Kind::Key:
        current_ = entry.hive == hive_ ? &keyAt(entry.key) : nullptr;
        break;
    case RegFileEntry::Kind::DeleteKey:
        current_ = nullptr;
        lastParent_ = nullptr;
        if (entry.hive == hive_) {
            auto path = splitKeyPath(entry.key);
            if (path.empty()) {
                break;
            }
            const auto last = path.back();
            path.pop_back();
            if (RegistryKey* parent = root_.find(path)) {
                changed_ = parent->removeChild(last) || changed_;
            }
        }
        break;
    case RegFileEntry::Kind::Value:
        if (current_) {
            changed_ = current_->setValue(entry.name, entry.value) || changed_;
        }
        break;
    case RegFileEntry::Kind::DeleteValue:
        if (current_) {
            changed_ = current_->removeValue(entry.name) || changed_;
        }
        break;
    }
}

// The sections of an export follow each other under the same parent, so the
// parent found for the last key line is taken again when this one names a key
// beside it: most key lines then cost one lookup instead of one per level.
RegistryKey& RegFileApplier::keyAt(std::string_view path) {
    const auto cut = path.rfind('\\');
    if (lastParent_ && cut != std::string_view::npos && cut + 1 < path.size() &&
        path.substr(0, cut) == lastParentPath_) {
        return lastParent_->childOrCreate(path.substr(cut + 1), changed_);
    }
    // Walking the whole path also refuses one with an empty part.
    const auto parts = splitKeyPath(path);
    RegistryKey* key = &root_;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 && i + 1 == parts.size()) {
            lastParent_ = key;
            lastParentPath_.assign(path.substr(0, cut));
        }
        key = &key->childOrCreate(parts[i], changed_);
    }
    return *key;
}

} // namespace korvana
