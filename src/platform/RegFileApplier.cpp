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
        current_ = nullptr;
        if (entry.hive == hive_) {
            current_ = &root_;
            for (const auto part : splitKeyPath(entry.key)) {
                current_ = &current_->childOrCreate(part, changed_);
            }
        }
        break;
    case RegFileEntry::Kind::DeleteKey:
        current_ = nullptr;
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

} // namespace korvana
