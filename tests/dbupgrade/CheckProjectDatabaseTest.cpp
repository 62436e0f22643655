#include "CheckTestBed.h"
#include "dbupgrade/UpgradeStep.h"
#include "project/ProjectRegistration.h"
#include "text/ScriptedMessageService.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace korvana::dbupgrade {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

std::vector<std::string>& stepsSeen() {
    static std::vector<std::string> seen;
    return seen;
}

template <const char* Version>
void recordingStep(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, Version);
    session.run("mark", [&] {
        session.db().execute(std::string("UPDATE TidxTexts SET Description = '") + Version +
                             "' WHERE Name = 'LongDate'");
    });
    session.finish();
    stepsSeen().emplace_back(Version);
}

void failingStep(const UpgradeEnvironment&, const std::string&) {
    throw Error("the project database cannot be opened");
}

constexpr char v1[] = "4.01.001";
constexpr char v2[] = "4.01.010";
constexpr char v3[] = "4.05.000";

constexpr std::array<Rung, 3> threeRungs{
    {{v1, recordingStep<v1>}, {v2, recordingStep<v2>}, {v3, recordingStep<v3>}}};
constexpr std::array<Rung, 3> failingSecond{
    {{v1, recordingStep<v1>}, {v2, failingStep}, {v3, recordingStep<v3>}}};
constexpr std::array<Rung, 3> missingSecond{
    {{v1, recordingStep<v1>}, {v2, nullptr}, {v3, recordingStep<v3>}}};

class Check : public ::testing::Test, protected test::CheckTestBed {
  protected:
    Check() {
        stepsSeen().clear();
        registry.setValue(Hive::CurrentUser, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "Version",
                          RegistryValue::string("4.05.002"));
    }
    CheckResult check(std::span<const Rung> ladder = threeRungs) {
        return CheckProjectDatabase(environment(ladder), "Plant");
    }
    fs::path backup() const { return fs::path(projectFile.string() + ".bak"); }
    fs::path temp() const { return fs::path(projectFile.string() + ".tmp"); }
};

struct RunCase {
    const char* label;
    std::string stored;
    std::vector<std::string> steps;
};

class CheckRuns : public Check, public ::testing::WithParamInterface<RunCase> {};

TEST_P(CheckRuns, ClimbsFromTheStoredVersionAndRecordsTheCurrentOne) {
    makeProject(GetParam().stored, "C:\\Korvana\\Templates\\Projects\\Single (OPC)");
    const std::string before = readFile(projectFile);
    std::vector<std::string> progress;
    auto env = environment(threeRungs);
    env.observer.progress = [&](const CheckProgress& p) {
        if (p.stage == CheckStage::Step) {
            progress.push_back(std::to_string(p.position) + "/" + std::to_string(p.total) + " " +
                               std::string(p.version));
        }
    };
    const auto result = CheckProjectDatabase(env, "Plant");

    EXPECT_EQ(result.outcome, CheckOutcome::Checked) << result.reason;
    EXPECT_EQ(result.storedVersion, GetParam().stored);
    EXPECT_EQ(stepsSeen(), GetParam().steps);
    EXPECT_EQ(result.stepsRun, GetParam().steps);
    ASSERT_EQ(progress.size(), GetParam().steps.size());
    if (!progress.empty()) {
        // The merge and the compaction follow the steps.
        EXPECT_EQ(progress.back(), std::to_string(progress.size()) + "/" +
                                       std::to_string(progress.size() + 2) + " 4.05.000");
    }
    EXPECT_TRUE(readFile(backup()) == before);
    EXPECT_FALSE(fs::exists(temp()));
    EXPECT_EQ(setting("DBVersion"), "4.05.000");
    EXPECT_EQ(setting("KorvanaVersion"), "4.05.002");
    EXPECT_EQ(setting("ProjectPath"), projectFile.parent_path().string());
    EXPECT_EQ(setting("ProjectTemplate"), "Single2");
}

INSTANTIATE_TEST_SUITE_P(StoredVersions, CheckRuns,
                         ::testing::Values(RunCase{"Empty", "", {v1, v2, v3}},
                                           RunCase{"Middle", "4.01.007", {v2, v3}},
                                           RunCase{"Current", "4.05.000", {}},
                                           RunCase{"Later", "4.07.000", {}}),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST_F(Check, MissingProjectFileIsLeftAloneWithoutBackup) {
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::Skipped);
    EXPECT_FALSE(fs::exists(backup()));
    EXPECT_FALSE(fs::exists(projectFile));
    EXPECT_TRUE(stepsSeen().empty());
}

TEST_F(Check, UnregisteredNameIsAnError) {
    EXPECT_THROW(CheckProjectDatabase(environment(threeRungs), "Other"), Error);
}

struct ReadOnlyCase {
    Answer answer;
    CheckOutcome outcome;
};

class ReadOnlyProject : public Check, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(ReadOnlyProject, RunsOnlyWhenTheUserMakesTheFileWritable) {
    makeProject("");
    fs::permissions(projectFile,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ScriptedMessageService messages;
    messages.queueAnswer(GetParam().answer);
    ProjectRegistration registration(registry, configuration, messages, texts);
    auto env = environment(threeRungs);
    env.checkReadOnly = [&](std::string_view file) { return registration.CheckReadOnly(file); };

    EXPECT_EQ(CheckProjectDatabase(env, "Plant").outcome, GetParam().outcome);
    EXPECT_EQ(messages.shown().size(), 1u);
    const bool ran = GetParam().outcome == CheckOutcome::Checked;
    EXPECT_EQ(fs::exists(backup()), ran);
    EXPECT_EQ(stepsSeen().size(), ran ? 3u : 0u);
    EXPECT_EQ(setting("DBVersion"), ran ? "4.05.000" : "");
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadOnlyProject,
                         ::testing::Values(ReadOnlyCase{Answer::No, CheckOutcome::Skipped},
                                           ReadOnlyCase{Answer::Yes, CheckOutcome::Checked}),
                         [](const auto& testInfo) {
                             return testInfo.param.answer == Answer::Yes ? "Yes" : "No";
                         });

TEST_F(Check, FileThatIsNoDatabaseIsLeftUntouchedWithItsBackup) {
    writeFile(projectFile, "this is no database");
    writeFile(backup(), "the backup of an earlier check");
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::NotADatabase);
    EXPECT_EQ(readFile(projectFile), "this is no database");
    EXPECT_EQ(readFile(backup()), "the backup of an earlier check");
    EXPECT_TRUE(log.mentions("left untouched"));
    EXPECT_TRUE(stepsSeen().empty());
}

TEST_F(Check, FileHeldByAnotherConnectionIsLeftUntouched) {
    makeProject("");
    const std::string before = readFile(projectFile);
    auto holder = db::Database::open(projectFile.string());
    holder.connection().exec("BEGIN EXCLUSIVE");
    const auto result = check();
    holder.connection().exec("ROLLBACK");
    EXPECT_EQ(result.outcome, CheckOutcome::Locked);
    EXPECT_FALSE(fs::exists(backup()));
    EXPECT_TRUE(readFile(projectFile) == before);
}

TEST_F(Check, StaleTemporaryFileIsReplaced) {
    makeProject("4.05.000");
    writeFile(temp(), "left by an interrupted run");
    EXPECT_EQ(check().outcome, CheckOutcome::Checked);
    EXPECT_FALSE(fs::exists(temp()));
    EXPECT_NO_THROW(db::Database::open(projectFile.string()).close());
}

TEST_F(Check, FailedCompactionKeepsTheUpgradedFile) {
    makeProject("");
    // A folder in the way of the compacted copy cannot be cleared.
    fs::create_directories(temp());
    writeFile(temp() / "keep", "not ours");
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::NotCompacted);
    EXPECT_TRUE(log.mentions("not compacted"));
    EXPECT_EQ(setting("DBVersion"), "4.05.000");
    EXPECT_EQ(readFile(temp() / "keep"), "not ours");
}

// A second check backs the project up only when it changes the project: the
// backup is then the file as the check found it, and otherwise still the file
// as the first check found it. Either way it stays apart from the project file
// whatever is written afterwards.
enum class Beforehand { Nothing, TextRemoved, FolderMoved, CompactionBlocked };

struct SecondCheckCase {
    const char* label;
    Beforehand beforehand;
    CheckOutcome outcome;
    bool changes;
};

class SecondCheck : public Check, public ::testing::WithParamInterface<SecondCheckCase> {
  protected:
    void prepare(Beforehand beforehand) {
        switch (beforehand) {
        case Beforehand::Nothing:
            break;
        case Beforehand::TextRemoved:
            db::Database::open(projectFile.string())
                .execute("DELETE FROM TidxTexts WHERE Name = 'LongDate'");
            break;
        case Beforehand::FolderMoved:
            setSetting("ProjectPath", "C:\\Elsewhere");
            break;
        case Beforehand::CompactionBlocked:
            fs::create_directories(temp());
            writeFile(temp() / "keep", "not ours");
            break;
        }
    }
};

TEST_P(SecondCheck, BacksUpOnlyWhatItChangesAndKeepsTheBackupApart) {
    makeProject("");
    const std::string beforeFirst = readFile(projectFile);
    check();
    prepare(GetParam().beforehand);
    const std::string asFound = readFile(projectFile);
    stepsSeen().clear();

    EXPECT_EQ(check().outcome, GetParam().outcome);
    EXPECT_TRUE(stepsSeen().empty());
    const std::string expected = GetParam().changes ? asFound : beforeFirst;
    EXPECT_TRUE(readFile(backup()) == expected);
    EXPECT_FALSE(fs::equivalent(backup(), projectFile));
    EXPECT_FALSE(fs::exists(fs::path(backup().string() + ".tmp")));
    EXPECT_EQ(setting("DBVersion"), "4.05.000");
    setSetting("Comment", "written later");
    EXPECT_TRUE(readFile(backup()) == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, SecondCheck,
    ::testing::Values(
        SecondCheckCase{"Nothing", Beforehand::Nothing, CheckOutcome::Checked, false},
        SecondCheckCase{"TheTemplateMerge", Beforehand::TextRemoved, CheckOutcome::Checked, true},
        SecondCheckCase{"AMovedFolder", Beforehand::FolderMoved, CheckOutcome::Checked, true},
        SecondCheckCase{"NoCompaction", Beforehand::CompactionBlocked, CheckOutcome::NotCompacted,
                        false}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

// A check killed between making the backup and replacing the project leaves
// the two as one file; the next check parts them before anything can write
// the project.
TEST_F(Check, BackupSharingTheProjectFileIsPartedFirst) {
    makeProject("4.05.000");
    check();
    const std::string asFound = readFile(projectFile);
    fs::remove(backup());
    fs::create_hard_link(projectFile, backup());
    EXPECT_EQ(check().outcome, CheckOutcome::Checked);
    EXPECT_FALSE(fs::equivalent(backup(), projectFile));
    setSetting("Comment", "written later");
    EXPECT_TRUE(readFile(backup()) == asFound);
}

// Whatever an interrupted check left beside the project is cleared, and the
// check starts again from the untouched project file.
TEST_F(Check, LeftoversOfAnInterruptedCheckAreCleared) {
    makeProject("");
    const std::string before = readFile(projectFile);
    for (const char* suffix : {".work", ".work-journal", ".tmp", ".bak.tmp"}) {
        writeFile(projectFile.string() + suffix, "left by a killed check");
    }
    EXPECT_EQ(check().outcome, CheckOutcome::Checked);
    EXPECT_EQ(setting("DBVersion"), "4.05.000");
    EXPECT_TRUE(readFile(backup()) == before);
    EXPECT_EQ(test::fileNamesIn(projectFile.parent_path()),
              (std::vector<std::string>{"Plant.kvs", "Plant.kvs.bak"}));
}

TEST_F(Check, TemplateTextMissingFromACurrentProjectIsMergedAgain) {
    makeProject("");
    check();
    db::Database::open(projectFile.string())
        .execute("DELETE FROM TidxTexts WHERE Name = 'LongDate'");
    check();
    auto project = db::Database::open(projectFile.string());
    EXPECT_EQ(project.query("SELECT * FROM TidxTexts WHERE Name = 'LongDate'").rows.size(), 1u);
}

struct StopCase {
    const char* label;
    std::span<const Rung> ladder;
    const char* reason;
};

class LadderStops : public Check, public ::testing::WithParamInterface<StopCase> {};

TEST_P(LadderStops, LeavesTheProjectFileAsItWasWhenAStepCouldNotRun) {
    makeProject("");
    writeFile(backup(), "the backup of an earlier check");
    const std::string before = readFile(projectFile);
    const auto result = check(GetParam().ladder);
    EXPECT_EQ(result.outcome, CheckOutcome::LadderStopped);
    EXPECT_NE(result.reason.find(GetParam().reason), std::string::npos) << result.reason;
    EXPECT_EQ(stepsSeen(), std::vector<std::string>{v1});
    EXPECT_TRUE(readFile(projectFile) == before);
    EXPECT_EQ(readFile(backup()), "the backup of an earlier check");
    EXPECT_FALSE(fs::exists(projectFile.string() + ".work"));
}

INSTANTIATE_TEST_SUITE_P(Ladders, LadderStops,
                         ::testing::Values(StopCase{"Failing", failingSecond, "could not run"},
                                           StopCase{"Missing", missingSecond, "no step"}),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

TEST_F(Check, PlanChangesNothing) {
    makeProject("4.01.007");
    const std::string before = readFile(projectFile);
    const auto plan = PlanProjectCheck(registry, configuration, "Plant");
    EXPECT_EQ(plan.storedVersion, "4.01.007");
    EXPECT_EQ(plan.rungs.size(), 18u);
    EXPECT_EQ(readFile(projectFile), before);
    EXPECT_FALSE(fs::exists(backup()));
}

} // namespace
} // namespace korvana::dbupgrade
