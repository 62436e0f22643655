#pragma once

#include "platform/Registry.h"

#include <string>

namespace korvana {

// The studio version the installer recorded under the installation key, with
// the service pack and feature pack installed on top of it, each of which may
// be missing (empty).
struct InstalledVersion {
    std::string version;
    std::string servicePack;
    std::string featurePack;

    static InstalledVersion read(const Registry& registry);

    // How the about window names the installation: the version, then
    // " (SP x)" and " (FP y)" for the packs that are there ("4.03 (SP 2)").
    std::string text() const;
};

} // namespace korvana
