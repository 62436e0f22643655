#include "platform/RegFileEntry.h"

#include "platform/RegistryKey.h"
#include "platform/RegistryNames.h"

namespace korvana {

bool applyRegFileEntries(const std::vector<RegFileEntry>& entries, Hive hive, RegistryKey& root) {
    bool changed = false;
    RegistryKey* current = nullptr;
    for (const auto& entry : entries) {
        switch (entry.kind) {
        case RegFileEntry::Kind::Key:
            current = nullptr;
            if (entry.hive == hive) {
                current = &root;
                for (const auto part : splitKeyPath(entry.key)) {
                    current = &current->childOrCreate(part, changed);
                }
            }
            break;
        case RegFileEntry::Kind::DeleteKey:
            current = nullptr;
            if (entry.hive == hive) {
                auto path = splitKeyPath(entry.key);
                if (path.empty()) {
                    break;
                }
                const auto last = path.back();
                path.pop_back();
                if (RegistryKey* parent = root.find(path)) {
                    changed = parent->removeChild(last) || changed;
                }
            }
            break;
        case RegFileEntry::Kind::Value:
            if (current) {
                changed = current->setValue(entry.name, entry.value) || changed;
            }
            break;
        case RegFileEntry::Kind::DeleteValue:
            if (current) {
                changed = current->removeValue(entry.name) || changed;
            }
            break;
        }
    }
    return changed;
}

} // namespace korvana
