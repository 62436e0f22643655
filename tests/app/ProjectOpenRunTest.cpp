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

class ProjectOpenRunTest : public ::testing::TestWithParam<DemoRoot::Chooser> {};

// By keyboard alone, and over the accessibility bus as a screen reader or a
// desktop automation drives it.
TEST_P(ProjectOpenRunTest, TheDialogOpensTheChosenProjectInTheIde) {
    const bool keyboard = GetParam() == DemoRoot::Chooser::Keyboard;
    if (!installed("/usr/bin/xvfb-run") || (keyboard && !installed("/usr/bin/xdotool")) ||
        (!keyboard && (!installed("/usr/bin/dbus-run-session") ||
                       !installed("/usr/libexec/at-spi-bus-launcher") ||
                       !std::filesystem::exists("/usr/lib/python3/dist-packages/pyatspi")))) {
        GTEST_SKIP() << "needs xvfb-run, xdotool, dbus and python3-pyatspi "
                        "(scripts/setup-deps installs them)";
    }
    DemoRoot demo;
    const StudioRun run = demo.studioChoosing("Kesselhaus", GetParam());

    ASSERT_FALSE(run.process.timedOut) << run.process.err;
    EXPECT_EQ(run.process.exitCode, 0) << run.process.out << run.process.err;
    ASSERT_TRUE(run.report) << run.process.err;
    EXPECT_EQ((*run.report)["arguments"],
              nlohmann::json::array({(demo.projectFolder() / "Kesselhaus.vbp").string()}));
    EXPECT_EQ(demo.registry().readString(Hive::CurrentUser, keys::recentProjects, "1"),
              "S:Kesselhaus");
}

// A template chosen in the project-open dialog leads to the new-project
// dialog; its OK with what it proposes makes the project, which then opens.
TEST(ProjectNewRunTest, ATemplateChosenInTheDialogBecomesAProjectThatOpens) {
    if (!installed("/usr/bin/xvfb-run") || !installed("/usr/bin/xdotool")) {
        GTEST_SKIP() << "needs xvfb-run and xdotool (scripts/setup-deps installs them)";
    }
    DemoRoot demo;
    const StudioRun run = demo.studioChoosing("Server project", DemoRoot::Chooser::NewProject);

    ASSERT_FALSE(run.process.timedOut) << run.process.err;
    EXPECT_EQ(run.process.exitCode, 0) << run.process.out << run.process.err;
    const auto folder = demo.path() / "My Projects" / "Project1";
    EXPECT_TRUE(std::filesystem::exists(folder / "Project1.kvs"));
    ASSERT_TRUE(run.report) << run.process.err;
    EXPECT_EQ((*run.report)["arguments"],
              nlohmann::json::array({(folder / "Project1.vbp").string()}));
    EXPECT_EQ(demo.registry().readString(Hive::LocalMachine,
                                         std::string(keys::projects) + "\\Project1", "ProjectType"),
              "Server");
}

INSTANTIATE_TEST_SUITE_P(ByKeyboardAndAccessibility, ProjectOpenRunTest,
                         ::testing::Values(DemoRoot::Chooser::Keyboard,
                                           DemoRoot::Chooser::Accessibility));

} // namespace
} // namespace korvana::test
