#include "CheckTestBed.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace korvana::dbupgrade {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A check on the real ladder whose observer asks to stop from its n-th
// question on, as a user's Cancel or a Ctrl+C would, wherever that falls.
class CheckCancel : public ::testing::Test, protected test::CheckTestBed {
  protected:
    CheckCancel() {
        registry.setValue(Hive::CurrentUser, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "Version",
                          RegistryValue::string("4.05.002"));
    }

    void makeLegacyProject() {
        db::json::createDatabaseFromJson(projectFile.string(),
                                         test::fixtureText("legacy-project.json"));
        writeFile(backup, "the backup of an earlier check");
    }

    CheckResult checkStoppingFrom(int question) {
        reports.clear();
        int asked = 0;
        auto env = environment(versionLadder());
        env.observer.progress = [&](const CheckProgress& progress) { reports.push_back(progress); };
        env.observer.stopRequested = [&, question] { return ++asked >= question; };
        return CheckProjectDatabase(env, "Plant");
    }

    std::vector<std::string> filesBesideTheProject() const {
        return test::fileNamesIn(projectFile.parent_path());
    }

    fs::path backup = fs::path(projectFile.string() + ".bak");
    std::vector<CheckProgress> reports;
};

// Every question the check asks is a safe point: before it begins, before
// each step, the merge and the compaction, and once the result is ready. A
// stop at any of them leaves the project file and its backup byte for byte
// as they were, and nothing beside them; only a stop that is never asked
// for lets the check finish.
TEST_F(CheckCancel, StopAtAnySafePointLeavesProjectAndBackupAsTheyWere) {
    makeLegacyProject();
    const std::string project = readFile(projectFile);
    const int steps = static_cast<int>(versionLadder().size());
    const int questions = 1 + steps + 2 + 1;
    for (int question = 1; question <= questions; ++question) {
        SCOPED_TRACE("stop from question " + std::to_string(question));
        const auto result = checkStoppingFrom(question);
        ASSERT_EQ(result.outcome, CheckOutcome::Cancelled) << result.reason;
        EXPECT_FALSE(result.stopCameTooLate);
        EXPECT_TRUE(readFile(projectFile) == project);
        EXPECT_EQ(readFile(backup), "the backup of an earlier check");
        EXPECT_EQ(filesBesideTheProject(),
                  (std::vector<std::string>{"Plant.kvs", "Plant.kvs.bak"}));
        // The stage the stop came at is the last one reported, and the
        // replacement is never reported for a check that stops.
        ASSERT_EQ(static_cast<int>(reports.size()), std::min(question - 1, steps + 2));
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].position, static_cast<int>(i) + 1);
            EXPECT_EQ(reports[i].total, steps + 2);
        }
        EXPECT_EQ(static_cast<int>(result.stepsRun.size()), std::clamp(question - 2, 0, steps));
    }

    const auto finished = checkStoppingFrom(1000);
    EXPECT_EQ(finished.outcome, CheckOutcome::Checked) << finished.reason;
    EXPECT_TRUE(readFile(backup) == project);
    ASSERT_EQ(static_cast<int>(reports.size()), steps + 3);
    EXPECT_EQ(reports[steps].stage, CheckStage::Merge);
    EXPECT_EQ(reports[steps + 1].stage, CheckStage::Compaction);
    EXPECT_EQ(reports.back().stage, CheckStage::Replacement);
    EXPECT_FALSE(reports.back().stoppable());
}

// A current project is only compacted; a stop before or after its compaction
// leaves the file as it was.
TEST_F(CheckCancel, CurrentProjectStoppedAroundItsCompactionIsUntouched) {
    makeProject("4.05.000");
    ASSERT_EQ(checkStoppingFrom(100).outcome, CheckOutcome::Checked);
    writeFile(backup, "the backup of an earlier check");
    const std::string project = readFile(projectFile);
    for (int question = 1; question <= 3; ++question) {
        SCOPED_TRACE("stop from question " + std::to_string(question));
        EXPECT_EQ(checkStoppingFrom(question).outcome, CheckOutcome::Cancelled);
        EXPECT_TRUE(readFile(projectFile) == project);
        EXPECT_EQ(readFile(backup), "the backup of an earlier check");
        EXPECT_EQ(filesBesideTheProject(),
                  (std::vector<std::string>{"Plant.kvs", "Plant.kvs.bak"}));
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].stage, CheckStage::Compaction);
    EXPECT_EQ(reports[0].total, 1);
}

// Once the result has begun to replace the project file the check can no
// longer stop: it completes and says the stop came too late.
TEST_F(CheckCancel, StopDuringTheReplacementComesTooLate) {
    makeLegacyProject();
    const std::string project = readFile(projectFile);
    bool replacing = false;
    auto env = environment(versionLadder());
    env.observer.progress = [&](const CheckProgress& progress) {
        replacing = replacing || progress.stage == CheckStage::Replacement;
    };
    env.observer.stopRequested = [&] { return replacing; };
    const auto result = CheckProjectDatabase(env, "Plant");
    EXPECT_EQ(result.outcome, CheckOutcome::Checked) << result.reason;
    EXPECT_TRUE(result.stopCameTooLate);
    EXPECT_EQ(setting("DBVersion"), currentDbVersion);
    EXPECT_TRUE(readFile(backup) == project);
}

} // namespace
} // namespace korvana::dbupgrade
