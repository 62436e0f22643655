#include "project/Designers.h"

namespace korvana {

DesignerList ListDesigners(const Registry& registry) {
    DesignerList list;
    if (!registry
             .readString(Hive::LocalMachine, "Software\\Microsoft\\Visual Basic\\5.0", "InstallDir")
             .empty()) {
        list.names.emplace_back("Visual Basic 5.0");
    }
    if (!registry
             .readString(Hive::LocalMachine,
                         "Software\\Microsoft\\VisualStudio\\6.0\\Setup\\Microsoft Visual Basic",
                         "ProductDir")
             .empty()) {
        list.names.emplace_back("Visual Basic 6.0");
    }
    if (!list.names.empty()) {
        list.selected = list.names.size() - 1;
    }
    return list;
}

} // namespace korvana
