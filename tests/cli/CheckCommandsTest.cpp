#include "db/json/DatabaseJson.h"
#include "support/CheckRoot.h"
#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::KvsRun;
using test::readFile;
using test::ScratchDir;
using test::writeFile;
using testing::HasSubstr;
using testing::Not;

std::string fixture(const char* name) {
    return readFile(fs::path(KORVANA_SOURCE_DIR) / "tests/fixtures" / name);
}

// The output of a whole `kvs check Plant` run and how it ended.
struct CheckRun {
    int exitCode = -1;
    std::string err;
};

// `kvs check` on the legacy project "Plant", with an earlier check's backup
// beside it, in a scratch system root.
class KvsCheck : public testing::Test {
  protected:
    KvsCheck() {
        test::seedCheckRoot(scratch, root, projectFile);
        db::json::createDatabaseFromJson(projectFile.string(), fixture("legacy-project.json"));
        test::writeFile(backup, "the backup of an earlier check");
        original = readFile(projectFile);
    }

    std::vector<std::string> filesBesideTheProject() const {
        return test::fileNamesIn(projectFile.parent_path());
    }

    pid_t startKvs(int errorFd) const { return test::startKvs(root, {"check", "Plant"}, errorFd); }

    // Runs the check with stderr on a pipe; `onOutput` sees the output so far
    // each time more arrives.
    template <typename OnOutput> CheckRun runThroughPipe(pid_t& child, OnOutput onOutput) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) {
            return {};
        }
        child = startKvs(pipeFds[1]);
        close(pipeFds[1]);
        CheckRun run;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            run.err.append(buffer, static_cast<std::size_t>(got));
            onOutput(run.err);
        }
        close(pipeFds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    test::ScratchDir scratch;
    const fs::path root = scratch / "root";
    const fs::path projectFile = scratch / "Projects/Plant/Plant.kvs";
    const fs::path backup = scratch / "Projects/Plant/Plant.kvs.bak";
    std::string original;
};

// Piped or logged, every stage is a line of its own on stderr; stdout keeps
// only the result, for scripts.
TEST_F(KvsCheck, ProgressIsALineForEachStageWhenStderrIsNoTerminal) {
    const fs::path errors = scratch / "errors.txt";
    const auto run = test::runKvs(root, {"check", "Plant"}, {}, errors);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.err,
                HasSubstr("Schritt 1 von 27: 4.01.001 – Meldungsparameter, Schrift- und "
                          "Trendnamen\nSchritt 2 von 27: 4.01.002 – eindeutige Gruppennamen\n"));
    EXPECT_THAT(run.err, HasSubstr("Schritt 26 von 27: Systemtexte und Schriften der Vorlage "
                                   "übernehmen\nSchritt 27 von 27: Projektdatei komprimieren\n"));
    EXPECT_THAT(run.err, Not(HasSubstr("\r")));
    EXPECT_THAT(run.out, Not(HasSubstr("Schritt")));
    EXPECT_THAT(run.out, HasSubstr("now at 4.05.000, 25 step(s) run"));
}

// On a terminal the progress is one line, rewritten in place and cleared at
// the end.
TEST_F(KvsCheck, ProgressIsOneLineRewrittenInPlaceOnATerminal) {
    int terminal = -1;
    int childSide = -1;
    winsize size{};
    size.ws_col = 60;
    size.ws_row = 24;
    ASSERT_EQ(openpty(&terminal, &childSide, nullptr, nullptr, &size), 0);
    const pid_t child = startKvs(childSide);
    close(childSide);
    std::string output;
    char buffer[4096];
    ssize_t got = 0;
    // The terminal side reports an error once the child has closed it.
    while ((got = read(terminal, buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;

    EXPECT_THAT(output, HasSubstr("\r\033[KSchritt 2 von 27: 4.01.002 – eindeutige Gruppennamen"
                                  "\r\033[KSchritt 3 von 27"));
    // Cut to the terminal's width, so that no line wraps.
    EXPECT_THAT(output, HasSubstr("\r\033[KSchritt 1 von 27: 4.01.001 – Meldungsparameter, "
                                  "Schrift- un\r"));
    EXPECT_THAT(output, Not(HasSubstr("Schritt 27 von 27: Projektdatei komprimieren\n")));
    EXPECT_TRUE(output.ends_with("\r\033[K")) << output;
}

// Ctrl+C stops the check at its next safe point: exit code 130, the project
// file and its backup byte for byte as they were, nothing left beside them.
// A check that ends before the signal arrives is tried again.
TEST_F(KvsCheck, CtrlCStopsTheCheckWithTheProjectUnchanged) {
    CheckRun run;
    for (int attempt = 0; attempt < 5; ++attempt) {
        pid_t child = -1;
        bool sent = false;
        run = runThroughPipe(child, [&](const std::string& err) {
            if (!sent && err.find("Schritt 2 von 27") != std::string::npos) {
                kill(child, SIGINT);
                kill(child, SIGINT);
                sent = true;
            }
        });
        if (run.exitCode != 0) {
            break;
        }
        fs::copy_file(backup, projectFile, fs::copy_options::overwrite_existing);
        test::writeFile(backup, "the backup of an earlier check");
    }
    ASSERT_EQ(run.exitCode, 130) << run.err;
    EXPECT_THAT(run.err, HasSubstr("kvs check: cancelled; Plant is unchanged"));
    EXPECT_THAT(run.err, Not(HasSubstr("Schritt 27 von 27")));
    EXPECT_TRUE(readFile(projectFile) == original);
    EXPECT_EQ(readFile(backup), "the backup of an earlier check");
    EXPECT_EQ(filesBesideTheProject(), (std::vector<std::string>{"Plant.kvs", "Plant.kvs.bak"}));
}

// A registered project "Plant" whose project file came from Windows.
class JetProjectCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path samples(KORVANA_JET_SAMPLES);
        if (!fs::is_directory(samples)) {
            GTEST_SKIP() << "no Jet sample databases in " << samples;
        }
        jet = readFile(samples / "compIndexTestV2003.mdb");
        fs::create_directories(project.parent_path());
        writeFile(project, jet);
        ASSERT_EQ(kvs({"reg", "set", "HKLM\\Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\Plant",
                       "Path", project.parent_path().string()})
                      .exitCode,
                  0);
    }
    KvsRun kvs(const std::vector<std::string>& arguments) {
        return test::runKvs(scratch / "root", arguments, {}, scratch / "stderr.txt");
    }

    ScratchDir scratch;
    fs::path project = scratch / "Projects" / "Plant" / "Plant.kvs";
    std::string jet;
};

TEST_F(JetProjectCheck, DryRunShowsTheRecognisedVersionNoKeepsTheFileYesConverts) {
    KvsRun run = kvs({"check", "--dry-run", "Plant"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("a Jet database from Windows, to be converted first\n"
                                   "recognised version: (none)\n"));
    EXPECT_THAT(run.out, HasSubstr("4.01.006 not reached: no table TcfgBinary"));

    run = kvs({"check", "Plant"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_THAT(run.err, HasSubstr("(Yes/No, default No) -> No"));
    EXPECT_EQ(readFile(project), jet);
    EXPECT_FALSE(fs::exists(project.string() + ".jet"));

    run = kvs({"check", "--yes", "Plant"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("now at 4.05.000"));
    EXPECT_EQ(readFile(project.string() + ".jet"), jet);
    EXPECT_THAT(kvs({"check", "--dry-run", "Plant"}).out,
                HasSubstr("stored version: 4.05.000\nsteps to run: 0\n"));
}

} // namespace
} // namespace korvana
