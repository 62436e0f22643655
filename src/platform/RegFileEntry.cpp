#include "platform/RegFileEntry.h"

#include "platform/RegFileApplier.h"

namespace korvana {

bool applyRegFileEntries(const std::vector<RegFileEntry>& entries, Hive hive, RegistryKey& root) {
    RegFileApplier applier(hive, root);
    for (const auto& entry : entries) {
        applier.apply(entry);
    }
    return applier.changed();
}

} // namespace korvana
