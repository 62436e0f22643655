#pragma once

#include "dbupgrade/UpgradeStep.h"
#include "text/TextTypes.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace korvana::dbupgrade {

// The layout version that the last rung produces.
inline constexpr std::string_view currentDbVersion = "4.05.000";

// One rung of the ladder: the layout version its step produces. A rung whose
// step is not part of this build has no step; the check stops there rather
// than record a layout the file does not have. `words` names what the step
// changes, as the check's progress shows it (0: only the version is shown).
struct Rung {
    std::string_view version;
    UpgradeStep step = nullptr;
    TextId words{0};
};

// Every rung in the order in which the check runs them.
std::span<const Rung> versionLadder();

// A version as the settings store it: "4.05.000", digits in fixed places, so
// that comparing two versions character by character compares them as numbers.
constexpr bool isWellFormedVersion(std::string_view version) {
    constexpr std::string_view shape = "9.99.999";
    if (version.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = version[i] >= '0' && version[i] <= '9';
        if (shape[i] == '9' ? !digit : version[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

// What `rungsAfter` relies on: well-formed versions in strictly ascending
// order, so that the rungs after any stored version are the ladder's tail and
// no layout is produced twice.
constexpr bool isWellFormedLadder(std::span<const Rung> ladder) {
    for (std::size_t i = 0; i < ladder.size(); ++i) {
        if (!isWellFormedVersion(ladder[i].version) ||
            (i > 0 && !(ladder[i - 1].version < ladder[i].version))) {
            return false;
        }
    }
    return true;
}

// The rungs to run for a project whose stored version is `storedVersion`:
// those whose version is greater, compared character by character (an empty
// version is older than every rung, a later one than the last needs none).
std::vector<Rung> rungsAfter(std::string_view storedVersion,
                             std::span<const Rung> ladder = versionLadder());

} // namespace korvana::dbupgrade
