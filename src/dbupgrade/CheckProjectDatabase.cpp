#include "dbupgrade/CheckProjectDatabase.h"

#include "db/Database.h"
#include "dbupgrade/DurableFiles.h"
#include "dbupgrade/ProjectBackup.h"
#include "dbupgrade/TemplateMerge.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/OpenProjectSettings.h"
#include "services/ResolveProjectFile.h"

#include <optional>
#include <system_error>

namespace korvana::dbupgrade {

namespace {

constexpr int fileNotFound = 53;
constexpr std::string_view userKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0";

std::string registeredFolder(const Registry& registry, const std::string& projectName) {
    for (const auto& candidate : registry.subKeys(Hive::LocalMachine, projectsKey)) {
        if (equalsIgnoreCase(candidate, projectName)) {
            return registry.readString(Hive::LocalMachine,
                                       std::string(projectsKey) + "\\" + candidate, "Path");
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

// Compacts into ".kvs.tmp" and renames that over the project file. A failure
// leaves the project file as it was and no partial copy behind.
void compactProjectFile(const std::filesystem::path& projectFile) {
    const auto temp = withSuffix(projectFile, ".tmp");
    // A copy left by an interrupted run is stale: the project file is the truth.
    std::filesystem::remove(temp);
    try {
        db::Database::compact(projectFile.string(), temp.string());
        replaceAtomically(temp, projectFile);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw;
    }
}

// Writes a "Global" setting only where it differs, and never into the file
// the backup still shares.
void writeChanged(OpenProjectSettings& settings, ProjectBackup& backup, std::string_view key,
                  const std::string& value) {
    const SettingValue wanted{value};
    if (settings.value("Global", key, SettingValue{}) != wanted) {
        backup.ownCopy();
        settings.setText("Global", key, value);
    }
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
        if (error.number() != fileNotFound) {
            throw;
        }
        log.write(context + error.what());
        return CheckResult{CheckOutcome::Skipped, {}, {}, error.what()};
    }
    if (environment.checkReadOnly && !environment.checkReadOnly(projectFile.string())) {
        log.write(context + "the project file is missing or read-only; nothing checked");
        return CheckResult{CheckOutcome::Skipped, {}, {}, "read-only"};
    }
    if (auto refused = refuseUnusable(projectFile)) {
        log.write(context + "project file left untouched: " + refused->reason);
        return *refused;
    }
    std::optional<ProjectBackup> backup;
    try {
        backup.emplace(projectFile, log, context);
    } catch (const std::exception& error) {
        log.write(context + "no backup, so nothing changed: " + error.what());
        return CheckResult{CheckOutcome::BackupFailed, {}, {}, error.what()};
    }

    CheckResult result;
    {
        OpenProjectSettings settings(environment.configuration, projectName);
        result.storedVersion = settings.text("Global", "DBVersion");
        writeChanged(settings, *backup, "ProjectTemplate",
                     normaliseTemplateName(settings.text("Global", "ProjectTemplate")));
    }

    // Compared with the version read above, whatever the steps do.
    const auto rungs = rungsAfter(result.storedVersion, environment.ladder);
    if (!rungs.empty()) {
        backup->ownCopy();
    }
    const UpgradeEnvironment upgrade{environment.registry, environment.texts, log};
    int stepNumber = 0;
    for (const Rung& rung : rungs) {
        ++stepNumber;
        if (environment.progress) {
            environment.progress(
                CheckProgress{stepNumber, static_cast<int>(rungs.size()), rung.version});
        }
        // Recording the current version after a step that never ran would
        // hide that step from every later check.
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
        log.write(context + result.reason + "; version " +
                  (result.storedVersion.empty() ? "(none)" : result.storedVersion) + " kept");
        return result;
    }

    {
        OpenProjectSettings settings(environment.configuration, projectName);
        writeChanged(settings, *backup, "DBVersion", std::string(currentDbVersion));
        writeChanged(
            settings, *backup, "KorvanaVersion",
            environment.registry.readString(Hive::CurrentUser, userKey, "Version", "4.01.000"));
        writeChanged(settings, *backup, "ProjectPath",
                     registeredFolder(environment.registry, projectName));
    }

    const MergeEnvironment merge{environment.registry, environment.configuration,
                                 environment.installationFolder, log};
    if (!backup->sharesProjectFile() || TemplateMergeWouldChange(merge, projectName)) {
        backup->ownCopy();
        SyncTemplateTexts(merge, projectName);
        SyncTemplateFonts(merge, projectName);
    }

    try {
        compactProjectFile(projectFile);
        result.outcome = CheckOutcome::Checked;
    } catch (const std::exception& error) {
        result.outcome = CheckOutcome::NotCompacted;
        result.reason = error.what();
        log.write(context + "not compacted: " + result.reason);
    }
    return result;
}

} // namespace korvana::dbupgrade
