#include "dbupgrade/VersionLadder.h"

#include "dbupgrade/steps/UpgradeSteps.h"

#include <array>
#include <cassert>

namespace korvana::dbupgrade {

namespace {

// Every layout version that has an upgrade step, in the order the steps run,
// each with the text (720 onwards) that says what its step changes.
constexpr std::array<Rung, 25> ladder{{
    {"4.01.001", Upgrade_4_01_001, TextId{720}}, {"4.01.002", Upgrade_4_01_002, TextId{721}},
    {"4.01.003", Upgrade_4_01_003, TextId{722}}, {"4.01.004", Upgrade_4_01_004, TextId{723}},
    {"4.01.005", Upgrade_4_01_005, TextId{724}}, {"4.01.006", Upgrade_4_01_006, TextId{725}},
    {"4.01.007", Upgrade_4_01_007, TextId{726}}, {"4.01.010", Upgrade_4_01_010, TextId{727}},
    {"4.01.012", Upgrade_4_01_012, TextId{728}}, {"4.01.013", Upgrade_4_01_013, TextId{729}},
    {"4.01.014", Upgrade_4_01_014, TextId{730}}, {"4.01.015", Upgrade_4_01_015, TextId{731}},
    {"4.01.016", Upgrade_4_01_016, TextId{732}}, {"4.01.017", Upgrade_4_01_017, TextId{733}},
    {"4.01.018", Upgrade_4_01_018, TextId{734}}, {"4.01.019", Upgrade_4_01_019, TextId{735}},
    {"4.01.020", Upgrade_4_01_020, TextId{736}}, {"4.04.000", Upgrade_4_04_000, TextId{737}},
    {"4.04.001", Upgrade_4_04_001, TextId{738}}, {"4.04.002", Upgrade_4_04_002, TextId{739}},
    {"4.04.003", Upgrade_4_04_003, TextId{740}}, {"4.04.004", Upgrade_4_04_004, TextId{741}},
    {"4.04.005", Upgrade_4_04_005, TextId{742}}, {"4.04.006", Upgrade_4_04_006, TextId{743}},
    {"4.05.000", Upgrade_4_05_000, TextId{744}},
}};

static_assert(isWellFormedLadder(ladder), "the ladder's versions must ascend in the stored form");
static_assert(ladder.back().version == currentDbVersion,
              "the last rung must produce the current layout");

} // namespace

std::span<const Rung> versionLadder() {
    return ladder;
}

std::vector<Rung> rungsAfter(std::string_view storedVersion, std::span<const Rung> rungs) {
    // The built-in ladder is checked when it is compiled; another one (given
    // to the check by its tests) is checked here, where the order matters.
    assert(isWellFormedLadder(rungs));
    std::vector<Rung> result;
    for (const Rung& rung : rungs) {
        // string_view compares by unsigned character code: the ordinal order.
        if (storedVersion < rung.version) {
            result.push_back(rung);
        }
    }
    return result;
}

} // namespace korvana::dbupgrade
