// A developer starts the studio without a command line and picks the sample
// project in the project-open dialog from the keyboard. The studio must open
// that project in the IDE and record it as the most recent one.
#include "app/DemoRoot.h"
#include "services/InstallationKeys.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace korvana::test {
namespace {

bool installed(const char* program) {
    return ::access(program, X_OK) == 0;
}

TEST(ProjectOpenRunTest, TheDialogOpensTheChosenProjectInTheIde) {
    if (!installed("/usr/bin/xvfb-run") || !installed("/usr/bin/xdotool")) {
        GTEST_SKIP() << "needs xvfb-run and xdotool (scripts/setup-deps installs them)";
    }
    DemoRoot demo;
    const StudioRun run = demo.studioChoosing("Kesselhaus");

    ASSERT_FALSE(run.process.timedOut) << run.process.err;
    EXPECT_EQ(run.process.exitCode, 0) << run.process.out << run.process.err;
    ASSERT_TRUE(run.report) << run.process.err;
    EXPECT_EQ((*run.report)["arguments"],
              nlohmann::json::array({(demo.projectFolder() / "Kesselhaus.vbp").string()}));
    EXPECT_EQ(demo.registry().readString(Hive::CurrentUser, keys::recentProjects, "1"),
              "S:Kesselhaus");
}

} // namespace
} // namespace korvana::test
