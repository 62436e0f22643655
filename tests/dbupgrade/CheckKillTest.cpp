#include "db/Database.h"
#include "db/json/DatabaseJson.h"
#include "services/ConfigurationComponent.h"
#include "support/CheckRoot.h"
#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;

std::string fixture(const char* name) {
    return readFile(fs::path(KORVANA_SOURCE_DIR) / "tests/fixtures" / name);
}

// `kvs check` on the legacy project, killed at random moments over its whole
// run. Whatever the moment, the project file must be the file as it was or the
// complete result, the backup must be the file as it was, and the next check
// must finish the job from there.
class CheckKills : public ::testing::Test {
  protected:
    CheckKills() {
        test::seedCheckRoot(scratch, root, projectFile);
        db::json::createDatabaseFromJson(original.string(), fixture("legacy-project.json"));
    }

    void restoreOriginal() const {
        fs::copy_file(original, projectFile, fs::copy_options::overwrite_existing);
    }

    // Starts `kvs check Plant` without waiting for it.
    pid_t startCheck() const { return test::startKvs(root, {"check", "Plant"}); }

    // The exit status of a check run to its end; `span` becomes its duration.
    int runCheck() {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = startCheck();
        int status = 0;
        waitpid(child, &status, 0);
        span = std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now() - start)
                   .count();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<fs::path> leftovers() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(projectFile.parent_path())) {
            if (entry.path() != projectFile && entry.path() != backup) {
                found.push_back(entry.path().filename());
            }
        }
        return found;
    }

    test::ScratchDir scratch;
    const fs::path root = scratch / "root";
    const fs::path original = scratch / "original.kvs";
    const fs::path projectFile = scratch / "Projects/Plant/Plant.kvs";
    const fs::path backup = scratch / "Projects/Plant/Plant.kvs.bak";
    // How long the last whole check took, in microseconds.
    long span = 0;
};

TEST_F(CheckKills, ProjectIsTheOriginalOrTheCompleteResultWhereverTheCheckDies) {
    // The complete result, and how long an undisturbed check takes.
    restoreOriginal();
    ASSERT_EQ(runCheck(), 0);
    const std::string before = readFile(original);
    const std::string result = readFile(projectFile);
    ASSERT_TRUE(result != before);
    ASSERT_TRUE(readFile(backup) == before);

    std::mt19937 random(20261207);
    // The kills are spread over the last whole check's duration, which follows
    // the machine's load; a check that ends before its kill does not count,
    // and the loop goes on until 200 checks have died mid-run.
    int killed = 0;
    int untouched = 0;
    restoreOriginal();
    for (int run = 0; killed < 200 && run < 300; ++run) {
        // Each check starts where the killed one before it stopped, with
        // whatever that one left beside the project.
        const pid_t child = startCheck();
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<long>(0, span)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        killed += WIFSIGNALED(status) ? 1 : 0;

        const std::string after = readFile(projectFile);
        ASSERT_TRUE(after == before || after == result) << "run " << run << ": a partial file";
        untouched += after == before ? 1 : 0;
        ASSERT_TRUE(readFile(backup) == before) << "run " << run;

        if (after == before && run % 20 == 19) {
            ASSERT_EQ(runCheck(), 0) << "run " << run;
            ASSERT_TRUE(readFile(projectFile) == result) << "run " << run;
            ASSERT_TRUE(readFile(backup) == before) << "run " << run;
            ASSERT_TRUE(leftovers().empty()) << "run " << run << ": " << leftovers().front();
        }
        if (readFile(projectFile) == result) {
            restoreOriginal();
        }
    }
    // The kills must have hit running checks, not only finished ones.
    EXPECT_EQ(killed, 200);
    EXPECT_GT(untouched, 150);
}

} // namespace
} // namespace korvana
