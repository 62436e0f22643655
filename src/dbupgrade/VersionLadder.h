#pragma once

#include "dbupgrade/UpgradeStep.h"

#include <span>
#include <string_view>
#include <vector>

namespace korvana::dbupgrade {

// The layout version that the last rung produces.
inline constexpr std::string_view currentDbVersion = "4.05.000";

// One rung of the ladder: the layout version its step produces. A rung whose
// step is not part of this build has no step; the check stops there rather
// than record a layout the file does not have.
struct Rung {
    std::string_view version;
    UpgradeStep step = nullptr;
};

// Every rung in the order in which the check runs them.
std::span<const Rung> versionLadder();

// The rungs to run for a project whose stored version is `storedVersion`:
// those whose version is greater, compared character by character (an empty
// version is older than every rung, a later one than the last needs none).
std::vector<Rung> rungsAfter(std::string_view storedVersion,
                             std::span<const Rung> ladder = versionLadder());

} // namespace korvana::dbupgrade
