#include "ide/IdeTestBed.h"
#include "ide/ProjectBinary.h"
#include "ide/ToolBoxRecords.h"
#include "platform/Process.h"

namespace korvana::ide {
namespace {

using korvana::test::readFile;
using korvana::test::writeFile;
using test::Bytes;
using test::IdeTestBed;

// ---- discovery -------------------------------------------------------------

TEST_F(IdeTestBed, FindsTheNewestInstalledVersion) {
    // A folder without the executable, or a Windows folder, is no installation.
    std::filesystem::create_directories(scratch / "empty" / "VB6.exe");
    const std::string empty = (scratch / "empty").string();
    const std::string windows = "C:\\Program Files\\VB98";
    struct Case {
        bool vb5;
        bool vb6;
        std::string vb6Folder; // instead of an installed 6.0
        std::int16_t expected;
    };
    for (const auto& c : std::vector<Case>{{false, false, "", 0},
                                           {true, false, "", 5},
                                           {false, true, "", 6},
                                           {true, true, "", 6},
                                           {true, false, empty, 5},
                                           {false, false, windows, 0}}) {
        registry = korvana::test::MemoryRegistry();
        messages = ScriptedMessageService();
        if (c.vb5) {
            installVisualBasic(5);
        }
        registry.writeString(Hive::LocalMachine, keys::vb6InstallKey, keys::vb6InstallValue,
                             c.vb6Folder);
        if (c.vb6) {
            installVisualBasic(6);
        }
        const auto launcher = makeLauncher();
        EXPECT_EQ(launcher->VBVersion, c.expected) << c.vb6Folder;
        EXPECT_EQ(launcher->executablePath(5).empty(), !c.vb5);
        EXPECT_EQ(launcher->executablePath(6).empty(), !c.vb6);
        ASSERT_EQ(messages.shown().size(), c.expected == 0 ? 1u : 0u);
        if (c.expected == 0) {
            EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio   (Meldung 93)");
            EXPECT_EQ(messages.shown()[0].style, MessageStyle::critical());
        }
    }
}

// ---- version choice --------------------------------------------------------

struct ChoiceCase {
    bool vb5;
    bool vb6;
    const char* designer;
    Answer answer;
    // 0: refused without changes.
    int started;
    bool asked;
};

class VersionChoice : public test::IdeTestBed, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(VersionChoice, StartsTheAssignedOrTheNewestVersion) {
    const auto& c = GetParam();
    if (c.vb5) {
        installVisualBasic(5);
    }
    if (c.vb6) {
        installVisualBasic(6);
    }
    setUserBinary(5, keys::toolValue, developerToolBox());
    setUserBinary(6, keys::toolValue, developerToolBox());
    auto launcher = makeLauncher();
    auto project = makeProject("Plant", c.designer);
    messages.queueAnswer(c.answer);

    const StartOutcome outcome = launcher->Start(project);

    if (c.asked) {
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio   (Meldung 903)");
        const std::string assigned = c.vb5 ? "6" : "5";
        const std::string newest = c.vb6 ? "6" : "5";
        EXPECT_NE(messages.shown()[0].text.find("Version " + assigned + " zugeordnet"),
                  std::string::npos);
        EXPECT_NE(messages.shown()[0].text.find("Version " + newest + " gestartet"),
                  std::string::npos);
    } else {
        EXPECT_TRUE(messages.shown().empty());
    }
    if (c.started == 0) {
        EXPECT_EQ(outcome, StartOutcome::Refused);
        EXPECT_TRUE(runner.commandLines.empty());
        EXPECT_FALSE(std::filesystem::exists(addInFile()));
        EXPECT_EQ(releases, 0);
        return;
    }
    EXPECT_EQ(outcome, StartOutcome::Ran);
    ASSERT_EQ(runner.commandLines.size(), 1u);
    EXPECT_EQ(
        splitWindowsCommandLine(runner.commandLines[0]),
        (std::vector<std::string>{launcher->executablePath(c.started), project.DesignerProject}));
    EXPECT_EQ(userBinary(c.started, keys::toolValue), developerToolBox());
}

INSTANTIATE_TEST_SUITE_P(Installations, VersionChoice,
                         testing::Values(
                             // Both installed: every assignment is honoured without a question.
                             ChoiceCase{true, true, "", Answer::Yes, 6, false},
                             ChoiceCase{true, true, "Visual Basic 5.0", Answer::Yes, 5, false},
                             ChoiceCase{true, true, "Visual Basic 6.0", Answer::Yes, 6, false},
                             // A designer the launcher does not know gets the newest version.
                             ChoiceCase{true, true, "Visual Basic 7.0", Answer::Yes, 6, false},
                             ChoiceCase{true, true, "visual basic 5.0", Answer::Yes, 6, false},
                             // Only 5.0 installed.
                             ChoiceCase{true, false, "", Answer::Yes, 5, false},
                             ChoiceCase{true, false, "Visual Basic 5.0", Answer::Yes, 5, false},
                             ChoiceCase{true, false, "Visual Basic 6.0", Answer::Yes, 5, true},
                             ChoiceCase{true, false, "Visual Basic 6.0", Answer::No, 0, true},
                             ChoiceCase{true, false, "Other IDE", Answer::No, 5, false},
                             // Only 6.0 installed.
                             ChoiceCase{false, true, "", Answer::Yes, 6, false},
                             ChoiceCase{false, true, "Visual Basic 6.0", Answer::Yes, 6, false},
                             ChoiceCase{false, true, "Visual Basic 5.0", Answer::Yes, 6, true},
                             ChoiceCase{false, true, "Visual Basic 5.0", Answer::No, 0, true}));

// ---- one run ----------------------------------------------------------------

class LauncherRun : public test::IdeTestBed {
  protected:
    void SetUp() override {
        installVisualBasic(6);
        setUserBinary(6, keys::toolValue, developerToolBox());
        setUserBinary(6, keys::dockValue, developerDock);
        setUserBinary(6, keys::uiValue, developerUi);
        writeFile(addInFile(), addInsBefore);
    }

    // What the IDE does while it runs: notes what it found and moves a window.
    void ideMovesAWindow(Bytes dock, Bytes ui) {
        runner.whileRunning = [this, dock, ui] {
            toolAtRun = userBinary(6, keys::toolValue);
            dockAtRun = userBinary(6, keys::dockValue);
            addInsAtRun = readFile(addInFile());
            setUserBinary(6, keys::dockValue, dock);
            setUserBinary(6, keys::uiValue, ui);
        };
    }

    void expectDeveloperSettingsBack() {
        EXPECT_EQ(userBinary(6, keys::toolValue), developerToolBox());
        EXPECT_EQ(userBinary(6, keys::dockValue), developerDock);
        EXPECT_EQ(userBinary(6, keys::uiValue), developerUi);
        EXPECT_EQ(readFile(addInFile()), addInsBefore);
    }

    Bytes stored(const CKVProject& project, std::string_view entry) {
        return ReadProjectBinary(registry, project.ProjectName, "Visual Basic", entry);
    }

    const Bytes developerDock{1, 1, 1};
    const Bytes developerUi{2, 2};
    const std::string addInsBefore = "[Add-Ins32]\r\nKVAddIn.Connect=1\r\nOther.Connect=1\r\n";
    std::optional<Bytes> toolAtRun;
    std::optional<Bytes> dockAtRun;
    std::string addInsAtRun;
};

TEST_F(LauncherRun, FirstRunKeepsTheLayoutTheSecondAppliesIt) {
    auto launcher = makeLauncher();
    auto project = makeProject("Plant");
    ideMovesAWindow({9, 9, 9}, {8});

    EXPECT_EQ(launcher->Start(project), StartOutcome::Ran);

    // During the run: the studio tab, the studio add-in, the developer's layout
    // (the project had none).
    const auto tool = parseToolBox(toolAtRun.value_or(Bytes{}));
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->groups.back(), (CVBToolBoxGroup{2, "KorvanaStudio"}));
    EXPECT_EQ(dockAtRun, developerDock);
    EXPECT_EQ(IniFile(addInFile(), addInsAtRun).read("Add-Ins32", "KV4AddIn.Connect"), "1");
    EXPECT_EQ(IniFile(addInFile(), addInsAtRun).read("Add-Ins32", "KVAddIn.Connect"), "0");
    EXPECT_EQ(IniFile(addInFile(), addInsAtRun).read("Add-Ins32", "KVXAddIn.Connect"), "0");
    EXPECT_EQ(releases, 1);

    // Afterwards: the project keeps the IDE's layout, the developer has theirs.
    EXPECT_EQ(stored(project, "Dock"), (Bytes{9, 9, 9}));
    EXPECT_EQ(stored(project, "UI"), (Bytes{8}));
    expectDeveloperSettingsBack();
    EXPECT_TRUE(launcher->preparationNotes().empty());

    ideMovesAWindow({7}, {6});
    EXPECT_EQ(launcher->Start(project), StartOutcome::Ran);
    EXPECT_EQ(dockAtRun, (Bytes{9, 9, 9}));
    EXPECT_EQ(stored(project, "Dock"), (Bytes{7}));
    expectDeveloperSettingsBack();
}

TEST_F(LauncherRun, LayoutFollowsProjectTypeAndKeepInterface) {
    struct Case {
        const char* what;
        ProjectType type;
        bool keepInterface;
        bool developerHasLayout;
        Bytes dockAtRun;
        Bytes storedDock;
        std::optional<Bytes> developerDockAfter; // nothing: removed again
        bool studioTab;
    };
    const Bytes project{5};
    const Bytes ide{9};
    const std::vector<Case> cases{
        {"single", ProjectType::Single, false, true, project, ide, developerDock, true},
        {"group", ProjectType::Group, false, true, developerDock, project, ide, true},
        {"keep interface", ProjectType::Single, true, true, developerDock, project, ide, false},
        {"no own layout", ProjectType::Single, false, false, project, ide, std::nullopt, true},
    };
    int number = 0;
    for (const auto& c : cases) {
        settings.keepInterface = c.keepInterface;
        setUserBinary(6, keys::dockValue, developerDock);
        if (!c.developerHasLayout) {
            registry.deleteValue(Hive::CurrentUser, visualBasicUserKey(6), keys::dockValue);
        }
        auto launcher = makeLauncher();
        auto plant = makeProject("P" + std::to_string(++number), "", c.type);
        WriteProjectBinary(registry, plant.ProjectName, "Visual Basic", "Dock", project);
        ideMovesAWindow(ide, ide);

        EXPECT_EQ(launcher->Start(plant), StartOutcome::Ran) << c.what;

        EXPECT_EQ(dockAtRun, c.dockAtRun) << c.what;
        EXPECT_EQ(toolAtRun != developerToolBox(), c.studioTab) << c.what;
        EXPECT_EQ(IniFile(addInFile(), addInsAtRun).read("Add-Ins32", "KV4AddIn.Connect"), "1");
        EXPECT_EQ(stored(plant, "Dock"), c.storedDock) << c.what;
        EXPECT_EQ(userBinary(6, keys::dockValue), c.developerDockAfter) << c.what;
        EXPECT_EQ(userBinary(6, keys::toolValue), developerToolBox());
        EXPECT_EQ(readFile(addInFile()), addInsBefore);
    }
}

TEST_F(LauncherRun, MissingProjectFileRestoresEverything) {
    auto launcher = makeLauncher();
    auto project = makeProject("Plant");
    WriteProjectBinary(registry, "Plant", "Visual Basic", "Dock", Bytes{5});
    const std::vector<std::string> missing{"\\", "", (scratch / "Projects" / "gone.vbp").string()};
    for (const auto& designerProject : missing) {
        messages = ScriptedMessageService();
        project.DesignerProject = designerProject;

        EXPECT_EQ(launcher->Start(project), StartOutcome::NoProjectFile);

        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio   (Meldung 904)");
        EXPECT_NE(messages.shown()[0].text.find("'" + designerProject + "'"), std::string::npos);
        expectDeveloperSettingsBack();
        EXPECT_EQ(stored(project, "Dock"), (Bytes{5}));
        EXPECT_TRUE(stored(project, "UI").empty());
    }
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_EQ(releases, 0);
}

TEST_F(LauncherRun, IdeThatCannotStartIsReportedAndEverythingRestored) {
    auto launcher = makeLauncher();
    auto project = makeProject("Plant");
    // A quote in a path would end its argument early: refused before starting.
    const auto quoted = std::filesystem::path(project.Path) / "a\" b.vbp";
    writeFile(quoted, "Type=Exe\r\n");
    const std::vector<std::pair<std::string, std::string>> cases{
        {project.DesignerProject, "Permission denied"}, {quoted.string(), "Anführungszeichen"}};
    runner.failure = "exec failed: Permission denied";
    for (const auto& [designerProject, reason] : cases) {
        messages = ScriptedMessageService();
        project.DesignerProject = designerProject;

        EXPECT_EQ(launcher->Start(project), StartOutcome::StartFailed);

        ASSERT_EQ(messages.shown().size(), 1u);
        const Message& shown = messages.shown()[0];
        EXPECT_EQ(shown.title, "KorvanaStudio");
        EXPECT_EQ(shown.style, MessageStyle::critical());
        EXPECT_NE(shown.text.find(launcher->executablePath(6)), std::string::npos);
        EXPECT_NE(shown.text.find(reason), std::string::npos);
        expectDeveloperSettingsBack();
        EXPECT_TRUE(stored(project, "Dock").empty());
    }
    // Only the start that was tried released the configuration component.
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(runner.commandLines.size(), 1u);
}

TEST_F(LauncherRun, PassesQuotedPathsAndHandlesEventsWhileWaiting) {
    auto launcher = makeLauncher();
    auto project = makeProject("My Plant");
    for (int rounds : {1, 6}) {
        runner.commandLines.clear();
        runner.waits.clear();
        runner.endsOnWait = rounds;
        eventRounds = 0;
        EXPECT_EQ(launcher->Start(project), StartOutcome::Ran);
        EXPECT_EQ(eventRounds, rounds - 1);
        EXPECT_EQ(runner.waits,
                  std::vector<std::chrono::milliseconds>(static_cast<std::size_t>(rounds),
                                                         std::chrono::milliseconds(10)));
        ASSERT_EQ(runner.commandLines.size(), 1u);
        EXPECT_EQ(runner.commandLines[0],
                  "\"" + launcher->executablePath(6) + "\" \"" + project.DesignerProject + "\"");
    }
}

// A program that sleeps on the IDE's end itself is trusted with the wait; the
// launcher only collects the end and never polls while the IDE runs.
TEST_F(LauncherRun, LeavesTheWaitToTheProgramWhenItCanSleepOnTheEnd) {
    int programWaits = 0;
    waitForIde = [&](RunningProcess& process) {
        ++programWaits;
        while (!process.waitFor(std::chrono::milliseconds(1000))) {
        }
    };
    auto launcher = makeLauncher();
    auto project = makeProject("Plant1");
    runner.endsOnWait = 3;
    EXPECT_EQ(launcher->Start(project), StartOutcome::Ran);
    EXPECT_EQ(programWaits, 1);
    EXPECT_EQ(eventRounds, 0);
}

TEST_F(LauncherRun, UnusableProjectFileAndAddInListAreLeftAloneAndTheRunGoesOn) {
    const char bytes[] = "[Add-Ins32]\r\n\0\x01";
    const std::string binary(bytes, sizeof bytes - 1);
    writeFile(addInFile(), binary);
    auto launcher = makeLauncher();
    auto project = makeProject("Plant");
    std::filesystem::remove(project.ProjectFile);
    db::Database::create(project.ProjectFile).close(); // no "TcfgBinary"
    ideMovesAWindow({9}, {8});

    EXPECT_EQ(launcher->Start(project), StartOutcome::Ran);

    EXPECT_EQ(addInsAtRun, binary);
    EXPECT_EQ(dockAtRun, developerDock);
    EXPECT_EQ(userBinary(6, keys::toolValue), developerToolBox());
    EXPECT_EQ(userBinary(6, keys::dockValue), developerDock);
    EXPECT_EQ(readFile(addInFile()), binary);
    // Applying and keeping both layout values failed, and was noted.
    EXPECT_EQ(launcher->preparationNotes().size(), 4u);
}

} // namespace
} // namespace korvana::ide
