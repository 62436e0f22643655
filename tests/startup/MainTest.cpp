#include "StartupTestBed.h"
#include "platform/Error.h"
#include "support/RegistrySnapshot.h"
#include "text/Messages.h"

#include <gmock/gmock.h>

namespace korvana::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// "@root@" stands for the scratch folder in the tables below.
std::string expand(std::string text, const std::string& root) {
    for (auto at = text.find("@root@"); at != std::string::npos; at = text.find("@root@")) {
        text.replace(at, 6, root);
    }
    return text;
}

class MainTest : public StartupTestBed {
  protected:
    // The registered group "G1" of the registered projects Beta and Alpha.
    void makeGroupOfBetaAndAlpha() {
        for (const char* member : {"Beta", "Alpha"}) {
            const std::string name = member;
            makeProject("G/" + name, name);
            registerProject(name, root() + "/G/" + name);
            writeFile(scratch / "G" / name / (name + ".vbp"),
                      "Type=Exe\r\n[Korvana4]\r\nProjectName=" + name + "\r\n");
        }
        writeFile(scratch / "G" / "G1.vbg",
                  "VBGROUP 5.0\r\nStartupProject=Beta\\Beta.vbp\r\nProject=Alpha\\Alpha.vbp\r\n");
        registerProject("G1", root() + "/G", "Group");
    }
};

TEST_F(MainTest, OpensTheChosenProjectInTheOrderOfTheStartUp) {
    makeRegisteredProject("Plant1");
    CKVProject chosen;
    chosen.EProjectOpen = ProjectOpen::OpenProject;
    chosen.ProjectName = "Plant1";
    host.choices.push_back(chosen);

    EXPECT_EQ(run(""), 0);

    EXPECT_THAT(events,
                ElementsAre("showMainWindow", "showSplash", "createConfiguration", "createLauncher",
                            "setHelpFile:" + root() + "/Common/HelpFiles/ProjektManagement.chm",
                            "initReady", "chooseProject", "check:Plant1", "unloadMainWindow",
                            "Start:Plant1"));
    EXPECT_THAT(messages.shown(), IsEmpty());
    EXPECT_EQ(recent(1), "S:Plant1");
}

TEST_F(MainTest, EndingTheOpenDialogEndsWithNothingChanged) {
    EXPECT_EQ(run("   "), 0);

    EXPECT_EQ(events.back(), "chooseProject");
    EXPECT_EQ(recent(1), std::nullopt);
    EXPECT_THAT(messages.shown(), IsEmpty());
}

class StartUpFailureTest : public MainTest, public testing::WithParamInterface<int> {
  protected:
    void breakInstallation() {
        registry.deleteValue(Hive::LocalMachine, keys::installation, "Path");
    }
};

// Each failure ends the run right where it happens, before anything is chosen.
TEST_P(StartUpFailureTest, EndsBeforeChoosingAProject) {
    struct Case {
        std::function<void()> arrange;
        const char* lastEvent;
        std::int32_t text;
    };
    const Case cases[] = {
        {[this] { breakInstallation(); }, "showSplash", 91},
        {[this] { configurationFails = true; }, "createConfiguration", 94},
        // the launcher has told the user itself
        {[this] { vbVersion = 0; }, "createLauncher", 0},
    };
    const Case& failure = cases[GetParam()];
    failure.arrange();

    EXPECT_EQ(run("/p=Plant1"), 0);

    EXPECT_EQ(events.back(), failure.lastEvent);
    if (failure.text == 0) {
        EXPECT_THAT(messages.shown(), IsEmpty());
    } else {
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{failure.text}));
        EXPECT_EQ(messages.shown()[0].style, MessageStyle::critical());
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, StartUpFailureTest, testing::Values(0, 1, 2));

// Command lines that end the run with a message (or silently) and never start
// the IDE. Plant1 is registered and present; Moved is registered, its file gone.
struct RefusedLine {
    const char* line;
    std::int32_t text; // 0: no message
    MessageStyle style;
    std::vector<std::string> args;
    int exitCode;
};

class RefusedCommandLineTest : public MainTest, public testing::WithParamInterface<RefusedLine> {};

TEST_P(RefusedCommandLineTest, EndsWithItsMessageAndExitCode) {
    makeRegisteredProject("Plant1");
    registerProject("Moved", root() + "/Gone");
    std::filesystem::create_directories(scratch / "Odd");
    writeFile(scratch / "Odd" / "Notes.kvs", "[Global]\r\nProjectType=Single\r\n");
    makeProject("Odd", "Pl\"ant");
    const std::string before = snapshot(registry, Hive::LocalMachine);
    const auto& refused = GetParam();

    EXPECT_EQ(run(expand(refused.line, root())), refused.exitCode);

    if (refused.text == 0) {
        EXPECT_THAT(messages.shown(), IsEmpty());
    } else {
        ASSERT_EQ(messages.shown().size(), 1u);
        const auto& shown = messages.shown()[0];
        std::vector<TextArgument> args;
        for (const auto& arg : refused.args) {
            args.emplace_back(expand(arg, root()));
        }
        EXPECT_EQ(shown.text, texts.LoadText(TextId{refused.text}, args));
        EXPECT_EQ(shown.title, applicationTitle);
        EXPECT_EQ(shown.style, refused.style);
    }
    EXPECT_THAT(starts(), IsEmpty());
    EXPECT_THAT(checks(), IsEmpty());
    EXPECT_EQ(recent(1), std::nullopt);
    EXPECT_EQ(snapshot(registry, Hive::LocalMachine), before);
}

const auto critical = MessageStyle::critical();
const auto exclamation = MessageStyle::exclamation();

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusedCommandLineTest,
    testing::Values(
        RefusedLine{"/x=Plant1", 905, critical, {}, 0},
        RefusedLine{"-p Plant1", 905, critical, {}, 0},
        RefusedLine{"-p =Plant1", 905, critical, {}, 0},
        RefusedLine{"-p=Unknown", 907, exclamation, {"Unknown"}, 0},
        RefusedLine{"-p=", 907, exclamation, {""}, 0},
        RefusedLine{"-p=..", 907, exclamation, {".."}, 0},
        RefusedLine{"-p=Moved", 906, exclamation, {"Moved", "@root@/Gone"}, 0},
        RefusedLine{"@root@/Plant1/Plant1.KVS", 912, exclamation, {"@root@/Plant1/Plant1.KVS"}, 0},
        RefusedLine{"\"@root@/Plant1/Plant1\"", 912, exclamation, {"@root@/Plant1/Plant1"}, 0},
        RefusedLine{
            "@root@/Nowhere/Plant9.kvs", 913, exclamation, {"@root@/Nowhere/Plant9.kvs"}, 0},
        // a registration that fails says why and ends with exit code 1
        RefusedLine{"@root@/Odd/Notes.kvs", 922, exclamation, {"Notes", "@root@/Odd/Notes.kvs"}, 1},
        RefusedLine{"@root@/Odd/Pl\"ant.kvs", 921, exclamation, {"Pl\"ant"}, 1},
        RefusedLine{
            "-r=@root@/Nowhere/Plant9.kvs", 919, exclamation, {"Plant9", "@root@/Nowhere"}, 1},
        RefusedLine{"-r=@root@/Plant1/Plant9.kvs",
                    920,
                    exclamation,
                    {"Plant9", "@root@/Plant1/Plant9.kvs"},
                    1},
        RefusedLine{"-r=@root@/Plant1", 920, exclamation, {"Plant1", "@root@/Plant1"}, 1},
        RefusedLine{"/R=", 920, exclamation, {"", ""}, 1},
        RefusedLine{
            "-r=@root@/Odd/Notes.kvs", 922, exclamation, {"Notes", "@root@/Odd/Notes.kvs"}, 1},
        RefusedLine{"-R=\"@root@/Odd/Pl\"ant.kvs\"", 921, exclamation, {"Pl\"ant"}, 1}));

// Every way of naming Plant1 opens it, after its database check.
class OpenCommandLineTest : public MainTest, public testing::WithParamInterface<const char*> {};

TEST_P(OpenCommandLineTest, ChecksRecordsAndStartsTheProject) {
    makeRegisteredProject("Plant1");

    EXPECT_EQ(run(expand(GetParam(), root())), 0);

    EXPECT_THAT(messages.shown(), IsEmpty());
    EXPECT_THAT(checks(), ElementsAre("Plant1"));
    EXPECT_THAT(starts(), ElementsAre("Plant1"));
    EXPECT_EQ(recent(1), "S:Plant1");
    EXPECT_EQ(registeredPath("Plant1"), root() + "/Plant1");
    EXPECT_THAT(eventsStartingWith("choose"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Lines, OpenCommandLineTest,
                         testing::Values("/P=Plant1", "-p=Plant1", "-p=\"Plant1\"",
                                         "  /p=Plant1\t ", "@root@/Plant1/Plant1.kvs",
                                         "\"@root@/Plant1/Plant1.kvs\""));

TEST_F(MainTest, PathOfAnUnregisteredProjectRegistersAndOpensIt) {
    makeProject("New", "Fresh");

    EXPECT_EQ(run(root() + "/New/Fresh.kvs"), 0);

    EXPECT_EQ(registeredPath("Fresh"), root() + "/New");
    EXPECT_THAT(checks(), ElementsAre("Fresh"));
    EXPECT_THAT(starts(), ElementsAre("Fresh"));
}

TEST_F(MainTest, RelativePathIsRegisteredWithTheFolderItLiesIn) {
    makeProject("Rel", "Plant3");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());

    const int exitCode = run("Rel/Plant3.kvs");
    std::filesystem::current_path(previous);

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(registeredPath("Plant3"),
              std::filesystem::canonical(scratch / "Rel").lexically_normal().string());
    EXPECT_THAT(starts(), ElementsAre("Plant3"));
}

// A project file found elsewhere than its registration asks before moving it.
class MovedProjectTest : public MainTest, public testing::WithParamInterface<Answer> {};

TEST_P(MovedProjectTest, AsksText908AndMovesTheRegistrationOnlyOnYes) {
    makeRegisteredProject("Plant1");
    makeProject("Copy", "Plant1");
    messages.queueAnswer(GetParam());
    const bool yes = GetParam() == Answer::Yes;

    EXPECT_EQ(run(root() + "/Copy/Plant1.kvs"), 0);

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text,
              texts.LoadText(TextId{908}, {"Plant1", root() + "/Plant1", root() + "/Copy"}));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::question());
    EXPECT_EQ(registeredPath("Plant1"), root() + (yes ? "/Copy" : "/Plant1"));
    EXPECT_EQ(starts().size(), yes ? 1u : 0u);
    EXPECT_EQ(checks().size(), yes ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, MovedProjectTest, testing::Values(Answer::Yes, Answer::No));

TEST_F(MainTest, RegisterSwitchRegistersAndEndsWithoutTheIde) {
    makeProject("Reg", "Plant2");

    EXPECT_EQ(run("-r=\"" + root() + "/Reg/Plant2.kvs\""), 0);

    EXPECT_EQ(registeredPath("Plant2"), root() + "/Reg");
    EXPECT_THAT(messages.shown(), IsEmpty());
    EXPECT_THAT(starts(), IsEmpty());
    EXPECT_THAT(checks(), IsEmpty());
    EXPECT_EQ(recent(1), std::nullopt);
    EXPECT_EQ(events.back(), "initReady");
}

TEST_F(MainTest, GroupChecksEveryMemberInGroupOrderThenOpensTheGroup) {
    makeGroupOfBetaAndAlpha();
    CKVProject chosen;
    chosen.EProjectOpen = ProjectOpen::OpenGroup;
    chosen.ProjectName = "G1";
    host.choices.push_back(chosen);

    EXPECT_EQ(run(""), 0);

    EXPECT_THAT(checks(), ElementsAre("Beta", "Alpha"));
    EXPECT_THAT(starts(), ElementsAre("G1"));
    EXPECT_EQ(recent(1), "S:G1");
}

// Named on the command line a group opens as from the dialog, not as a
// project file that a group does not have.
// A check the user cancelled left the project as it was; the user is told so
// and chooses again, and the project is neither opened nor made recent. A
// stop that came too late is told as well: the project was checked, yet the
// user asked not to go on.
TEST_F(MainTest, CancelledCheckIsToldAndBringsTheOpenDialogBack) {
    makeRegisteredProject("Plant1");
    for (const auto& [result, text] :
         {std::pair{dbupgrade::CheckResult{dbupgrade::CheckOutcome::Cancelled}, 707},
          std::pair{dbupgrade::CheckResult{dbupgrade::CheckOutcome::Checked, {}, {}, {}, true},
                    708}}) {
        events.clear();
        onCheck = [result](const std::string&) { return result; };
        EXPECT_EQ(run("-p=Plant1"), 0);
        EXPECT_THAT(checks(), ElementsAre("Plant1"));
        ASSERT_FALSE(messages.shown().empty());
        EXPECT_EQ(messages.shown().back().text, texts.LoadText(TextId{text}, {"Plant1"}));
        EXPECT_EQ(events.back(), "chooseProject");
        EXPECT_THAT(starts(), IsEmpty());
        EXPECT_EQ(recent(1), std::nullopt);
    }
}

TEST_F(MainTest, CancelledMemberCheckLeavesTheGroupClosed) {
    makeGroupOfBetaAndAlpha();
    onCheck = [](const std::string&) {
        return dbupgrade::CheckResult{dbupgrade::CheckOutcome::Cancelled};
    };

    EXPECT_EQ(run("-p=G1"), 0);
    EXPECT_THAT(checks(), ElementsAre("Beta"));
    EXPECT_EQ(events.back(), "chooseProject");
    EXPECT_THAT(starts(), IsEmpty());
}

TEST_F(MainTest, GroupNamedOnTheCommandLineOpensAsAGroup) {
    makeProject("G/Alpha", "Alpha");
    registerProject("Alpha", root() + "/G/Alpha");
    writeFile(scratch / "G" / "Alpha" / "Alpha.vbp",
              "Type=Exe\r\n[Korvana4]\r\nProjectName=Alpha\r\n");
    writeFile(scratch / "G" / "G1.vbg", "VBGROUP 5.0\r\nStartupProject=Alpha\\Alpha.vbp\r\n");
    registerProject("G1", root() + "/G", "Group");

    EXPECT_EQ(run("-p=G1"), 0);
    EXPECT_THAT(checks(), ElementsAre("Alpha"));
    EXPECT_THAT(starts(), ElementsAre("G1"));

    std::filesystem::remove(scratch / "G" / "G1.vbg");
    EXPECT_EQ(run("-p=G1"), 0);
    EXPECT_THAT(starts(), ElementsAre("G1"));
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().text, texts.LoadText(TextId{913}, {root() + "/G/G1.vbg"}));
}

TEST_F(MainTest, OpenedProjectMovesToTheTopOfTheRecentListOnce) {
    makeRegisteredProject("Plant1");
    registry.writeString(Hive::CurrentUser, keys::recentProjects, "1", "S:Other");
    registry.writeString(Hive::CurrentUser, keys::recentProjects, "2", "S:plant1");

    EXPECT_EQ(run("/p=Plant1"), 0);

    EXPECT_EQ(recent(1), "S:Plant1");
    EXPECT_EQ(recent(2), "S:Other");
    EXPECT_EQ(recent(3), std::nullopt);
}

TEST_F(MainTest, CancelledNewProjectDialogBringsTheOpenDialogBack) {
    std::filesystem::create_directories(scratch / "Templates" / "Single");
    writeFile(scratch / "Templates" / "Single" / "_Info.ini", "[Info]\r\nProjectType=Single\r\n");
    CKVProject fromTemplate;
    fromTemplate.EProjectOpen = ProjectOpen::CreateFromTemplate;
    fromTemplate.TemplatePath = root() + "/Templates/Single";
    host.choices.push_back(fromTemplate);
    host.choices.push_back(fromTemplate);
    makeRegisteredProject("Plant1");
    int dialogs = 0;
    host.newProjectDialog = [&dialogs](CKVProject& project) {
        // cancelled the first time, a new project Plant1 the second
        if (++dialogs == 1) {
            project.EProjectOpen = ProjectOpen::Nothing;
        } else {
            project.EProjectOpen = ProjectOpen::OpenProject;
            project.ProjectName = "Plant1";
        }
    };

    EXPECT_EQ(run(""), 0);

    EXPECT_THAT(std::vector<std::string>(events.begin() + 6, events.end()),
                ElementsAre("chooseProject", "showNewProjectDialog", "chooseProject",
                            "showNewProjectDialog", "unloadMainWindow", "Start:Plant1"));
    EXPECT_EQ(recent(1), "S:Plant1");
}

TEST_F(MainTest, TemplateWithoutNewProjectDialogIsReportedAndTheOpenDialogComesBack) {
    std::filesystem::create_directories(scratch / "Templates" / "TS");
    writeFile(scratch / "Templates" / "TS" / "_Info.ini",
              "[Info]\r\nProjectType=Terminal Server\r\n");
    registry.writeNumber(Hive::LocalMachine, keys::installation, "LCID", 1033);
    CKVProject fromTemplate;
    fromTemplate.EProjectOpen = ProjectOpen::CreateFromTemplate;
    fromTemplate.TemplatePath = root() + "/Templates/TS";
    host.choices.push_back(fromTemplate);

    EXPECT_EQ(run(""), 0);

    EXPECT_THAT(std::vector<std::string>(events.begin() + 6, events.end()),
                ElementsAre("chooseProject", "chooseProject"));
    ASSERT_EQ(messages.shown().size(), 1u);
    // Texts after loading the settings speak the installation's language.
    EXPECT_EQ(texts.language(), Lcid{1033});
    EXPECT_EQ(messages.shown()[0].text,
              TextService(Lcid{1033}).LoadText(TextId{918}, {"TS", "Terminal Server"}));
    EXPECT_THAT(messages.shown()[0].text, testing::HasSubstr("template"));
}

TEST_F(MainTest, ErrorWhileLoadingIsReportedAndEndsTheRun) {
    makeRegisteredProject("Plant1");
    onCheck = [](const std::string&) -> dbupgrade::CheckResult {
        throw Error("The project store is damaged", 75);
    };

    EXPECT_EQ(run("/p=Plant1"), 0);

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, applicationTitle);
    EXPECT_EQ(messages.shown()[0].text, "The project store is damaged");
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::critical());
    EXPECT_THAT(starts(), IsEmpty());
    EXPECT_THAT(eventsStartingWith("unload"), IsEmpty());
}

} // namespace
} // namespace korvana::test
