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
    if (rungs.empty() && !settingsChange && !TemplateMergeWouldChange(projectMerge, projectName)) {
        // A current project: its content stays, only its free space goes.
        try {
            files.compactProject();
            result.outcome = CheckOutcome::Checked;
        } catch (const std::exception& error) {
            result.outcome = CheckOutcome::NotCompacted;
            result.reason = error.what();
            log.write(context + "not compacted: " + result.reason);
        }
        return result;
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
    int stepNumber = 0;
    for (const Rung& rung : rungs) {
        ++stepNumber;
        if (environment.progress) {
            environment.progress(
                CheckProgress{stepNumber, static_cast<int>(rungs.size()), rung.version});
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

    try {
        files.commitWorkingCopy(true);
        result.outcome = CheckOutcome::Checked;
        return result;
    } catch (const std::exception& error) {
        result.reason = error.what();
    }
    // The upgrade stands on its own; only its free space stays.
    try {
        files.commitWorkingCopy(false);
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
    return result;
}

} // namespace korvana::dbupgrade
