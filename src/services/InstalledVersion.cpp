#include "services/InstalledVersion.h"

#include "services/InstallationKeys.h"

namespace korvana {

InstalledVersion InstalledVersion::read(const Registry& registry) {
    return {registry.readString(Hive::LocalMachine, keys::installation, "Version"),
            registry.readString(Hive::LocalMachine, keys::installation, "SP"),
            registry.readString(Hive::LocalMachine, keys::installation, "FP")};
}

std::string InstalledVersion::text() const {
    std::string shown = version;
    if (!servicePack.empty()) {
        shown += " (SP " + servicePack + ")";
    }
    if (!featurePack.empty()) {
        shown += " (FP " + featurePack + ")";
    }
    return shown;
}

} // namespace korvana
