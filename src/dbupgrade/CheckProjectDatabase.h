#pragma once

#include "db/DebugLog.h"
#include "dbupgrade/CheckProgress.h"
#include "dbupgrade/JetConversion.h"
#include "dbupgrade/VersionLadder.h"
#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"
#include "text/TextService.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::dbupgrade {

// What the check of a project database works with. `checkReadOnly` answers
// whether the project file exists and may be written (asking the user about a
// read-only file); the start-up passes its project registration's check.
struct CheckEnvironment {
    const Registry& registry;
    const TextService& texts;
    ConfigurationComponent& configuration;
    db::DebugLog& log;
    std::filesystem::path installationFolder;
    std::function<bool(std::string_view projectFile)> checkReadOnly;
    // Told of each stage; may stop the check before any stage and before the
    // result replaces the project file.
    CheckObserver observer;
    // The rungs to climb; another ladder only in tests of the check itself.
    std::span<const Rung> ladder = versionLadder();
    // Whom to ask before a project file from Windows is converted; without
    // it such a file is left alone.
    const JetConversionEnvironment* jetConversion = nullptr;
};

enum class CheckOutcome {
    Checked,       // upgraded (as far as needed), merged and compacted
    NotCompacted,  // upgraded and merged; the compaction failed and the file stayed
    Skipped,       // no file, or read-only and the user kept it so
    NotADatabase,  // left untouched, backup included
    Locked,        // another process holds the file; left untouched
    BackupFailed,  // no backup or working copy could be made, so nothing was changed
    LadderStopped, // a step could not run; the project file was left as it was
    Cancelled,     // the observer asked to stop; the project file and backup were left as they were
};

struct CheckResult {
    CheckOutcome outcome = CheckOutcome::Skipped;
    std::string storedVersion = {};
    std::vector<std::string> stepsRun = {};
    // Why the check stopped early or did not compact (also in the debug log).
    std::string reason = {};
    // The observer asked to stop only once the project file was being
    // replaced; the check went on to its end.
    bool stopCameTooLate = false;
};

// What a check would do, without changing anything.
struct CheckPlan {
    std::filesystem::path projectFile;
    std::string storedVersion;
    std::vector<Rung> rungs;
    // For a project file from Windows, which has no settings of ours: the
    // version read from its schema (as storedVersion) and why.
    std::optional<RecognisedVersion> recognised;
};

// Brings the registered project's database to the current layout: the ladder
// from the stored version, the new version and installation details in the
// settings, the template merge, compaction. All of it happens on a working
// copy whose compacted result replaces the project file in one rename, with
// ".kvs.bak" keeping the file as it was (see CheckFiles): the project file is
// always either untouched or the complete result. A current project is only
// compacted, its backup left alone. The observer may stop the check before
// each stage and before the replacement; the check then ends Cancelled with
// nothing of the project touched. Raises korvana::Error only when the name
// is not registered or the settings cannot be read or written.
CheckResult CheckProjectDatabase(const CheckEnvironment& environment,
                                 const std::string& projectName);

// The stored version and the rungs a check would run.
CheckPlan PlanProjectCheck(const Registry& registry, ConfigurationComponent& configuration,
                           const std::string& projectName);

// The template name as the settings keep it: the last path component, with
// "Single (OPC)" renamed to "Single2".
std::string normaliseTemplateName(std::string_view stored);

} // namespace korvana::dbupgrade
