#include "CheckTestBed.h"
#include "dbupgrade/UpgradeStep.h"

#include <array>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korvana::dbupgrade {
namespace {

namespace fs = std::filesystem;
using test::readFile;

// Rewrites every text, so that each step is a real transaction of some size.
template <const char* Version>
void rewritingStep(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, Version);
    session.run("rewrite texts", [&] {
        session.db().execute(std::string("UPDATE TidxTexts SET Description = '") + Version + "'");
    });
    session.finish();
}

constexpr char v1[] = "4.01.001";
constexpr char v2[] = "4.04.000";
constexpr char v3[] = "4.05.000";
constexpr std::array<Rung, 3> ladder{
    {{v1, rewritingStep<v1>}, {v2, rewritingStep<v2>}, {v3, rewritingStep<v3>}}};

class CheckCrash : public ::testing::Test, protected test::CheckTestBed {};

// Kills a child running the check at random moments: the project file always
// opens as a consistent database at the old or the new version, the backup is
// whole, and the next check finishes the job.
TEST_F(CheckCrash, KilledCheckLeavesAConsistentProjectAndAWholeBackup) {
    makeProject("");
    const fs::path master = scratch / "master.kvs";
    fs::copy_file(projectFile, master);
    const std::string original = readFile(master);
    const fs::path backup = projectFile.string() + ".bak";

    // How long one undisturbed check takes, to spread the kills over it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(CheckProjectDatabase(environment(ladder), "Plant").outcome, CheckOutcome::Checked);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();

    std::mt19937 random(20261206);
    // Within the undisturbed run: a kill after the end would only repeat the
    // full checks made every fifth run below.
    std::uniform_int_distribution<long> delay(0, span);
    int killedEarly = 0;
    for (int run = 0; run < 50; ++run) {
        fs::remove(backup);
        fs::copy_file(master, projectFile, fs::copy_options::overwrite_existing);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                CheckProjectDatabase(environment(ladder), "Plant");
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) {
            ++killedEarly;
        } else {
            ASSERT_EQ(WEXITSTATUS(status), 0);
        }

        ASSERT_NO_THROW(db::Database::open(projectFile.string()).close()) << "run " << run;
        const std::string version = setting("DBVersion");
        ASSERT_TRUE(version.empty() || version == "4.05.000") << "run " << run << ": " << version;
        if (fs::exists(backup)) {
            ASSERT_EQ(readFile(backup), original) << "run " << run;
        }
        if (run % 5 != 0) {
            continue;
        }
        const auto again = CheckProjectDatabase(environment(ladder), "Plant");
        ASSERT_EQ(again.outcome, CheckOutcome::Checked) << "run " << run << ": " << again.reason;
        ASSERT_EQ(setting("DBVersion"), "4.05.000");
    }
    // The kills must have hit running checks, or the test proves nothing.
    EXPECT_GT(killedEarly, 15);
}

} // namespace
} // namespace korvana::dbupgrade
