#pragma once

#include "text/TextTypes.h"

#include <functional>
#include <string_view>

namespace korvana::dbupgrade {

// What a database check is busy with. Steps, merge and compaction work on the
// working copy and can be stopped before each of them; the replacement of the
// project file by the result cannot be stopped once it has begun.
enum class CheckStage { Step, Merge, Compaction, Replacement };

// One report of a running check: `position` of `total` stages (every step,
// then the merge and the compaction, the last two only where the check
// changes the project). The replacement comes at the end, at `total`.
struct CheckProgress {
    CheckStage stage = CheckStage::Step;
    int position = 0;
    int total = 0;
    // The step's version and what it changes, in words (0: none known).
    std::string_view version = {};
    TextId words{0};

    // Whether a stop asked for now still leaves the project file as it was.
    bool stoppable() const { return stage != CheckStage::Replacement; }
};

// Who watches a check: told of every stage, and asked at every safe point
// whether to stop there. Either may be left empty. Both are called on the
// thread that runs the check; `stopRequested` should only read a flag.
struct CheckObserver {
    std::function<void(const CheckProgress&)> progress;
    std::function<bool()> stopRequested;

    void report(const CheckProgress& report) const {
        if (progress) {
            progress(report);
        }
    }
    bool wantsStop() const { return stopRequested && stopRequested(); }
};

} // namespace korvana::dbupgrade
