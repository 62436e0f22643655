#include "platform/Error.h"
#include "platform/Process.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace korvana {
namespace {

using namespace std::chrono_literals;
using test::readFile;
using test::ScratchDir;
using test::writeFile;

// Programs are small shell scripts in a scratch folder whose name holds a
// blank, as "Program Files" does.
class ProcessRunnerTest : public ::testing::Test {
  protected:
    std::filesystem::path script(const std::string& name, const std::string& body) {
        const auto file = scratch_ / "with blank" / name;
        writeFile(file, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        return file;
    }

    static std::string quoted(const std::filesystem::path& file) {
        return "\"" + file.string() + "\"";
    }

    // Waits long enough for any sane machine; the program's end wakes the
    // wait long before.
    static bool finish(RunningProcess& process) { return process.waitFor(20s); }

    ScratchDir scratch_;
    std::unique_ptr<ProcessRunner> runner_ = makeProcessRunner();
};

TEST_F(ProcessRunnerTest, ReportsTheExitCodeOnceTheProgramHasEnded) {
    for (const int code : {0, 3, 42, 255}) {
        const auto program = script("exit.sh", "exit " + std::to_string(code));
        const auto process = runner_->start(quoted(program));
        ASSERT_TRUE(finish(*process));
        EXPECT_EQ(process->exitCode(), code);
        // Collected exactly once: asking again changes nothing.
        EXPECT_TRUE(process->waitFor(0ms));
        EXPECT_EQ(process->exitCode(), code);
    }
}

TEST_F(ProcessRunnerTest, AProgramEndedBySignalHasNoExitCode) {
    const auto process = runner_->start(quoted(script("killed.sh", "kill -9 $$")));
    ASSERT_TRUE(finish(*process));
    EXPECT_FALSE(process->exitCode().has_value());
}

TEST_F(ProcessRunnerTest, PassesQuotedArgumentsAsWindowsSplitsThem) {
    const auto out = scratch_ / "args.txt";
    const auto program = script("args.sh", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" +
                                               out.string() + "'");
    const auto process =
        runner_->start(quoted(program) + R"( "D:\My Projects\Demo.vbp" plain "" "say \"hi\"")");
    ASSERT_TRUE(finish(*process));
    EXPECT_EQ(readFile(out), "[D:\\My Projects\\Demo.vbp]\n[plain]\n[]\n[say \"hi\"]\n");
}

TEST_F(ProcessRunnerTest, StartsAProgramNamedWithBackslashes) {
    const auto program = script("exit.sh", "exit 5");
    std::string stored = program.string();
    std::replace(stored.begin(), stored.end(), '/', '\\');
    const auto process = runner_->start("\"" + stored + "\"");
    ASSERT_TRUE(finish(*process));
    EXPECT_EQ(process->exitCode(), 5);
}

TEST_F(ProcessRunnerTest, TheProgramGetsTheStudiosEnvironmentAndFolderButNoOtherFiles) {
    // A descriptor the studio holds open without close-on-exec, such as a
    // lock file, must not reach the program.
    const int held = open((scratch_ / "held.lock").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(held, 3);
    setenv("KORVANA_PROCESS_TEST", "seen", 1);
    const auto out = scratch_ / "seen.txt";
    const auto program =
        script("env.sh",
               "{ echo \"$KORVANA_PROCESS_TEST\"; pwd; ls /proc/$$/fd/" + std::to_string(held) +
                   " >/dev/null 2>&1 && echo inherited || echo closed; } > '" + out.string() + "'");
    const auto process = runner_->start(quoted(program));
    const bool ended = finish(*process);
    unsetenv("KORVANA_PROCESS_TEST");
    close(held);
    ASSERT_TRUE(ended);
    EXPECT_EQ(readFile(out), "seen\n" + std::filesystem::current_path().string() + "\nclosed\n");
}

TEST_F(ProcessRunnerTest, AProgramThatEndsAtOnceWakesTheFirstWait) {
    const auto process = runner_->start(quoted(script("quick.sh", "exit 0")));
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(process->waitFor(20s));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
}

TEST_F(ProcessRunnerTest, WaitingDoesNotUseTheProcessor) {
    const auto process = runner_->start(quoted(script("slow.sh", "sleep 1")));
    const auto cpuTime = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto micros = [](const timeval& t) {
            return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
        };
        return micros(usage.ru_utime) + micros(usage.ru_stime);
    };
    const auto cpuBefore = cpuTime();
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(process->waitFor(300ms));
    EXPECT_GE(std::chrono::steady_clock::now() - before, 300ms);
    EXPECT_LT(cpuTime() - cpuBefore, 50ms);
    EXPECT_FALSE(process->exitCode().has_value());
    ASSERT_TRUE(finish(*process));
    EXPECT_EQ(process->exitCode(), 0);
}

TEST_F(ProcessRunnerTest, LeavesARunningProgramRunningWhenTheHandleGoes) {
    const auto marker = scratch_ / "still-running";
    auto process =
        runner_->start(quoted(script("late.sh", "sleep 1; touch '" + marker.string() + "'")));
    const auto before = std::chrono::steady_clock::now();
    process.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 800ms);
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST_F(ProcessRunnerTest, RefusesWhatCannotBeStartedNamingIt) {
    const auto notExecutable = scratch_ / "plain.txt";
    writeFile(notExecutable, "not a program\n");
    const std::string missing = (scratch_ / "VB98" / "VB6.exe").string();
    struct Refusal {
        std::string commandLine;
        std::string named;
    };
    for (const auto& [commandLine, named] : {
             Refusal{"\"" + missing + "\" \"x.vbp\"", missing},
             Refusal{quoted(notExecutable), notExecutable.string()},
             Refusal{R"("C:\Program Files\VB98\VB6.exe" x.vbp)",
                     R"(C:\Program Files\VB98\VB6.exe)"},
             Refusal{"", ""},
             Refusal{"\"\" x", ""},
         }) {
        try {
            runner_->start(commandLine);
            ADD_FAILURE() << "started: " << commandLine;
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(named), std::string::npos) << error.what();
        }
    }
}

} // namespace
} // namespace korvana
