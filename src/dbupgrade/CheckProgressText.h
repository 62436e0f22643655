#pragma once

#include "dbupgrade/CheckProgress.h"
#include "text/TextService.h"

#include <string>

namespace korvana::dbupgrade {

// The stage a check is busy with, in words of the user-interface language:
// "4.01.004 – trend units, trend names and archive files" for a step,
// "Compacting the project file" for the compaction.
std::string describeStage(const TextService& texts, const CheckProgress& progress);

// "Step 3 of 27": where the check stands among its stages.
std::string describePosition(const TextService& texts, const CheckProgress& progress);

} // namespace korvana::dbupgrade
