#include "dbupgrade/VersionLadder.h"

#include "dbupgrade/steps/UpgradeSteps.h"

#include <array>

namespace korvana::dbupgrade {

namespace {

// A rung whose step has not been built yet is listed without one.
constexpr std::array<Rung, 25> ladder{{
    {"4.01.001", Upgrade_4_01_001}, {"4.01.002", Upgrade_4_01_002}, {"4.01.003", Upgrade_4_01_003},
    {"4.01.004", Upgrade_4_01_004}, {"4.01.005", Upgrade_4_01_005}, {"4.01.006", Upgrade_4_01_006},
    {"4.01.007", Upgrade_4_01_007}, {"4.01.010", Upgrade_4_01_010}, {"4.01.012", nullptr},
    {"4.01.013", nullptr},          {"4.01.014", nullptr},          {"4.01.015", nullptr},
    {"4.01.016", nullptr},          {"4.01.017", nullptr},          {"4.01.018", nullptr},
    {"4.01.019", nullptr},          {"4.01.020", nullptr},          {"4.04.000", nullptr},
    {"4.04.001", nullptr},          {"4.04.002", nullptr},          {"4.04.003", nullptr},
    {"4.04.004", nullptr},          {"4.04.005", nullptr},          {"4.04.006", nullptr},
    {"4.05.000", nullptr},
}};

} // namespace

std::span<const Rung> versionLadder() {
    return ladder;
}

std::vector<Rung> rungsAfter(std::string_view storedVersion, std::span<const Rung> ladder) {
    std::vector<Rung> result;
    for (const Rung& rung : ladder) {
        // string_view compares by unsigned character code: the ordinal order.
        if (storedVersion < rung.version) {
            result.push_back(rung);
        }
    }
    return result;
}

} // namespace korvana::dbupgrade
