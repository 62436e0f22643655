#include "dbupgrade/CheckProjectDatabase.h"

#include "db/Database.h"
#include "db/JetFileFormat.h"
#include "dbupgrade/CheckFiles.h"
#include "dbupgrade/TemplateMerge.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"
#include "services/OpenProjectSettings.h"
#include "services/ResolveProjectFile.h"

#include <cassert>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace korvana::dbupgrade {

namespace {

std::string registeredFolder(const Registry& registry, const std::string& projectName) {
    for (const auto& candidate : registry.subKeys(Hive::LocalMachine, keys::projects)) {
        if (equalsIgnoreCase(candidate, projectName)) {
            return registry.readString(Hive::LocalMachine,
                                       std::string(keys::projects) + "\\" + candidate, "Path");
        }
    }
    return {};
}

// Refuses a file that is no project database or that another process holds:
// neither the file nor its earlier backup is touched then.
std::optional<CheckResult> refuseUnusable(const std::filesystem::path& projectFile) {
    std::optional<db::Database> database;
    try {
        database.emplace(db::Database::open(projectFile.string()));
    } catch (const std::exception& error) {
        // SQLite's own words for a file another connection holds.
        const bool held = std::string_view(error.what()).find("locked") != std::string_view::npos;
        return CheckResult{
            held ? CheckOutcome::Locked : CheckOutcome::NotADatabase, {}, {}, error.what()};
    }
    try {
        database->connection().exec("BEGIN IMMEDIATE");
        database->connection().exec("ROLLBACK");
    } catch (const std::exception& error) {
        return CheckResult{CheckOutcome::Locked, {}, {}, error.what()};
    }
    return std::nullopt;
}

// The "Global" settings a finished check leaves in the project, in the
// order in which they are written.
struct CheckedSettings {
    std::string projectTemplate;
    std::vector<std::pair<std::string_view, std::string>> afterLadder;
};

CheckedSettings checkedSettings(const CheckEnvironment& environment, const std::string& projectName,
                                OpenProjectSettings& settings) {
    return CheckedSettings{
        normaliseTemplateName(settings.text("Global", "ProjectTemplate")),
        {{"DBVersion", std::string(currentDbVersion)},
         {"KorvanaVersion",
          environment.registry.readString(Hive::CurrentUser, keys::user, "Version", "4.01.000")},
         {"ProjectPath", registeredFolder(environment.registry, projectName)}}};
}

bool settingsDiffer(OpenProjectSettings& settings, const CheckedSettings& wanted) {
    if (settings.value("Global", "ProjectTemplate", SettingValue{}) !=
        SettingValue{wanted.projectTemplate}) {
        return true;
    }
    for (const auto& [key, value] : wanted.afterLadder) {
        if (settings.value("Global", key, SettingValue{}) != SettingValue{value}) {
            return true;
        }
    }
    return false;
}

// The stages of one check, reported in order. Before each, and once more
// before the result replaces the project file, the observer may stop the
// check; from the moment the replacement has begun it no longer can.
class CheckStages {
  public:
    CheckStages(const CheckObserver& observer, int total) : observer_(observer), total_(total) {}

    bool stopRequested() const { return observer_.wantsStop(); }

    // Reports the next stage; true when the check is to stop before it.
    bool stopBefore(CheckProgress stage) {
        stage.position = ++position_;
        stage.total = total_;
        observer_.report(stage);
        return observer_.wantsStop();
    }

    // Asked by the files just before the project file is replaced. Once it
    // has let the replacement begin, a second attempt (without compaction)
    // must not stop half-way: the backup may already have been renewed.
    CheckFiles::MayReplace mayReplace() {
        return [this] {
            if (replacing_) {
                return true;
            }
            if (observer_.wantsStop()) {
                return false;
            }
            replacing_ = true;
            observer_.report({CheckStage::Replacement, total_, total_});
            return true;
        };
    }

    CheckResult cancel(CheckResult& result, db::DebugLog& log, const std::string& context,
                       const std::string& when) const {
        assert(!replacing_);
        result.outcome = CheckOutcome::Cancelled;
        result.reason = "cancelled " + when + "; the project file was left as it was";
        log.write(context + result.reason);
        return result;
    }

    // A stop asked for now came while the project file was being replaced.
    CheckResult finish(CheckResult& result) const {
        result.stopCameTooLate = replacing_ && observer_.wantsStop();
        return result;
    }

  private:
    const CheckObserver& observer_;
    int total_;
    int position_ = 0;
    bool replacing_ = false;
};

} // namespace

std::string normaliseTemplateName(std::string_view stored) {
    std::string name = paths::lastComponent(stored);
    if (name == "Single (OPC)") {
        name = "Single2";
    }
    return name;
}

CheckPlan PlanProjectCheck(const Registry& registry, ConfigurationComponent& configuration,
                           const std::string& projectName) {
    CheckPlan plan;
    plan.projectFile = resolveProjectFile(registry, projectName);
    if (db::jetFormatOf(plan.projectFile.string()) != db::JetFormat::None) {
        plan.recognised = recogniseJetVersion(plan.projectFile);
        plan.storedVersion = plan.recognised->version;
        plan.rungs = rungsAfter(plan.storedVersion);
        return plan;
    }
    OpenProjectSettings settings(configuration, projectName);
    plan.storedVersion = settings.text("Global", "DBVersion");
    plan.rungs = rungsAfter(plan.storedVersion);
    return plan;
}

CheckResult CheckProjectDatabase(const CheckEnvironment& environment,
                                 const std::string& projectName) {
    auto& log = environment.log;
    const std::string context = "check of '" + projectName + "': ";
    std::filesystem::path projectFile;
    try {
        projectFile = resolveProjectFile(environment.registry, projectName);
    } catch (const Error& error) {
        if (error.number() != runtimeErrors::fileNotFound) {
            throw;
        }
        log.write(context + error.what());
        return CheckResult{CheckOutcome::Skipped, {}, {}, error.what()};
    }
    if (environment.checkReadOnly && !environment.checkReadOnly(projectFile.string())) {
        log.write(context + "the project file is missing or read-only; nothing checked");
        return CheckResult{CheckOutcome::Skipped, {}, {}, "read-only"};
    }
    // A project file from Windows first becomes a project database; then the
    // check goes on as for any other.
    if (environment.jetConversion) {
        const auto converted = convertJetProjectFile(*environment.jetConversion, projectFile);
        if (converted.outcome == JetConversionOutcome::Declined ||
            converted.outcome == JetConversionOutcome::Failed) {
            log.write(context + "project file left untouched: " + converted.reason);
            return CheckResult{CheckOutcome::NotADatabase, {}, {}, converted.reason};
        }
    }
    if (auto refused = refuseUnusable(projectFile)) {
        log.write(context + "project file left untouched: " + refused->reason);
        return *refused;
    }
    CheckFiles files(projectFile);
    try {
        files.clearLeftovers();
    } catch (const std::exception& error) {
        log.write(context + "leftovers of an earlier check could not be cleared: " + error.what());
        return CheckResult{CheckOutcome::BackupFailed, {}, {}, error.what()};
    }

    CheckResult result;
    CheckedSettings wanted;
    bool settingsChange = false;
    {
        OpenProjectSettings settings(environment.configuration, projectName);
        result.storedVersion = settings.text("Global", "DBVersion");
        wanted = checkedSettings(environment, projectName, settings);
        settingsChange = settingsDiffer(settings, wanted);
    }
    // Compared with the version read above, whatever the steps do.
    const auto rungs = rungsAfter(result.storedVersion, environment.ladder);
    const MergeEnvironment projectMerge{environment.registry, environment.configuration,
                                        environment.installationFolder, log};
    const bool current =
        rungs.empty() && !settingsChange && !TemplateMergeWouldChange(projectMerge, projectName);
    // Every step, then the merge and the compaction; a current project is
    // only compacted.
    CheckStages stages(environment.observer, current ? 1 : static_cast<int>(rungs.size()) + 2);
    if (stages.stopRequested()) {
        return stages.cancel(result, log, context, "before it began");
    }
    if (current) {
        // A current project: its content stays, only its free space goes.
        if (stages.stopBefore({CheckStage::Compaction})) {
            return stages.cancel(result, log, context, "before the compaction");
        }
        try {
            if (!files.compactProject(stages.mayReplace())) {
                return stages.cancel(result, log, context, "before the replacement");
            }
            result.outcome = CheckOutcome::Checked;
        } catch (const std::exception& error) {
            result.outcome = CheckOutcome::NotCompacted;
            result.reason = error.what();
            log.write(context + "not compacted: " + result.reason);
        }
        return stages.finish(result);
    }

    try {
        files.startWorkingCopy();
    } catch (const std::exception& error) {
        log.write(context + "no working copy, so nothing changed: " + error.what());
        return CheckResult{CheckOutcome::BackupFailed, result.storedVersion, {}, error.what()};
    }
    const OpenProjectSettings::File working{files.working()};
    OpenProjectSettings(environment.configuration, working)
        .setText("Global", "ProjectTemplate", wanted.projectTemplate);

    const UpgradeEnvironment upgrade{environment.registry, environment.texts, log, files.working()};
    for (const Rung& rung : rungs) {
        if (stages.stopBefore({CheckStage::Step, 0, 0, rung.version, rung.words})) {
            return stages.cancel(result, log, context, "before step " + std::string(rung.version));
        }
        // Recording the current version after a step that never ran would
        // hide that step from every later check; the project stays as it was.
        if (!rung.step) {
            result.outcome = CheckOutcome::LadderStopped;
            result.reason = "this build has no step for " + std::string(rung.version);
        } else {
            try {
                rung.step(upgrade, projectName);
                result.stepsRun.emplace_back(rung.version);
                continue;
            } catch (const std::exception& error) {
                result.outcome = CheckOutcome::LadderStopped;
                result.reason =
                    "step " + std::string(rung.version) + " could not run: " + error.what();
            }
        }
        log.write(context + result.reason + "; the project file was left as it was");
        return result;
    }

    if (stages.stopBefore({CheckStage::Merge})) {
        return stages.cancel(result, log, context, "before the merge");
    }
    {
        OpenProjectSettings settings(environment.configuration, working);
        for (const auto& [key, value] : wanted.afterLadder) {
            settings.setText("Global", key, value);
        }
    }
    MergeEnvironment merge = projectMerge;
    merge.workingFile = files.working();
    SyncTemplateTexts(merge, projectName);
    SyncTemplateFonts(merge, projectName);

    if (stages.stopBefore({CheckStage::Compaction})) {
        return stages.cancel(result, log, context, "before the compaction");
    }
    try {
        if (!files.commitWorkingCopy(true, stages.mayReplace())) {
            return stages.cancel(result, log, context, "before the replacement");
        }
        result.outcome = CheckOutcome::Checked;
        return stages.finish(result);
    } catch (const std::exception& error) {
        result.reason = error.what();
    }
    // The upgrade stands on its own; only its free space stays.
    try {
        if (!files.commitWorkingCopy(false, stages.mayReplace())) {
            return stages.cancel(result, log, context, "before the replacement");
        }
        result.outcome = CheckOutcome::NotCompacted;
        log.write(context + "not compacted: " + result.reason);
    } catch (const std::exception& error) {
        result.outcome = CheckOutcome::BackupFailed;
        result.reason = error.what();
        log.write(context +
                  "the result could not replace the project file, which was left as "
                  "it was: " +
                  result.reason);
    }
    return stages.finish(result);
}

} // namespace korvana::dbupgrade
