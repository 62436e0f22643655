#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::test::KvsRun;
using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;
using ::testing::HasSubstr;

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
        return korvana::test::runKvs(scratch / "root", arguments, {}, scratch / "stderr.txt");
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
