#include "app/MessageChoice.h"
#include "app/ProgramCommandLine.h"
#include "support/ScratchDir.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace korvana::app {
namespace {

TEST(ProgramCommandLineTest, ArgumentsAreJoinedAsWindowsWouldHandThemOver) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string expected;
    };
    const Case cases[] = {
        {{}, ""},
        {{"-p=Plant1"}, "-p=Plant1"},
        {{"-p=Plant", "1"}, "-p=Plant 1"},
        {{"/P=My Plant"}, "/P=\"My Plant\""},
        {{"-r=/home/a b/P.kvs"}, "-r=\"/home/a b/P.kvs\""},
        {{"/home/a b/P.kvs"}, "\"/home/a b/P.kvs\""},
        // Not a switch the start-up knows: quoted whole, refused there.
        {{"-x=a b"}, "\"-x=a b\""},
        {{"-p=\"a b\""}, "-p=\"a b\""},
        {{"-p", "Plant1"}, "-p Plant1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(windowsCommandLine(c.arguments), c.expected);
    }
}

TEST(ProgramCommandLineTest, ProgramNameIsLeftOut) {
    const char* argv[] = {"KorvanaStudio", "-p=A", "b c"};
    EXPECT_EQ(windowsCommandLine(3, argv), "-p=A \"b c\"");
    EXPECT_EQ(windowsCommandLine(1, argv), "");
}

TEST(MessageChoiceTest, VariablesChooseConsoleAndForcedAnswer) {
    using Choice = std::variant<MessageChoice, std::string>;
    const auto console = [](std::optional<Answer> forced) { return MessageChoice{true, forced}; };
    struct Case {
        std::optional<std::string> messages;
        std::optional<std::string> answer;
        std::optional<MessageChoice> expected; // nothing: refused
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, MessageChoice{}},
        {"", std::nullopt, MessageChoice{}},
        {"console", std::nullopt, console(std::nullopt)},
        {"console", "yes", console(Answer::Yes)},
        {"console", "no", console(Answer::No)},
        {"console", "", console(std::nullopt)},
        {"console", "maybe", std::nullopt},
        {"Console", std::nullopt, std::nullopt},
        {"boxes", std::nullopt, std::nullopt},
        {std::nullopt, "yes", MessageChoice{false, Answer::Yes}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages.value_or("(unset)") + " / " + c.answer.value_or("(unset)"));
        const Choice got = chooseMessages(c.messages, c.answer);
        if (!c.expected) {
            EXPECT_TRUE(std::holds_alternative<std::string>(got));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<MessageChoice>(got)) << std::get<std::string>(got);
        EXPECT_EQ(std::get<MessageChoice>(got).console, c.expected->console);
        EXPECT_EQ(std::get<MessageChoice>(got).forcedAnswer, c.expected->forcedAnswer);
    }
}

struct ProgramRun {
    int exitCode = -1;
    std::string err;
};

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the built program offscreen against the scratch root, never on the
// developer's own system root or display.
ProgramRun runProgram(const test::ScratchDir& root, const std::string& environment,
                      const std::vector<std::string>& arguments = {}) {
    const auto errorFile = root / "stderr.txt";
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen " +
                          std::string("KORVANA_ROOT=") + shellQuoted(root.path().string()) + " " +
                          environment + " " +
                          shellQuoted(std::string(KORVANA_BIN_DIR) + "/KorvanaStudio");
    for (const auto& argument : arguments) {
        command += " " + shellQuoted(argument);
    }
    command += " </dev/null >/dev/null 2>" + shellQuoted(errorFile.string());
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = test::readFile(errorFile);
    return run;
}

TEST(ProgramTest, EmptyRootTellsThatTheInstallationIsMissingAndEnds) {
    test::ScratchDir root;
    const auto run = runProgram(root, "KORVANA_MESSAGES=console");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // Text 91 as a numbered message.
    EXPECT_NE(run.err.find("(Meldung 91)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Das Korvana-Verzeichnis ist nicht registriert!"), std::string::npos)
        << run.err;
}

TEST(ProgramTest, UnknownMessageModeIsAUsageError) {
    test::ScratchDir root;
    const auto run = runProgram(root, "KORVANA_MESSAGES=boxes");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("KorvanaStudio: KORVANA_MESSAGES"), std::string::npos) << run.err;
}

} // namespace
} // namespace korvana::app
