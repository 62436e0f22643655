#include "support/ScratchDir.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvana {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct KvsResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs kvs with KORVANA_ROOT set to `root`, without a shell, and collects
// both output streams.
KvsResult kvs(const fs::path& root, std::vector<std::string> arguments) {
    const test::ScratchDir streams;
    const auto outFile = streams / "out";
    const auto errFile = streams / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string program = std::string(KORVANA_BIN_DIR) + "/kvs";
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables{"KORVANA_ROOT=" + root.string()};
    for (char** variable = environ; *variable; ++variable) {
        if (!std::string_view(*variable).starts_with("KORVANA_ROOT=")) {
            variables.emplace_back(*variable);
        }
    }
    std::vector<char*> envp;
    for (auto& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    KvsResult run;
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = test::readFile(outFile);
    run.err = test::readFile(errFile);
    return run;
}

class RegCommandsTest : public ::testing::Test {
  protected:
    KvsResult reg(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "reg");
        return kvs(root(), std::move(arguments));
    }
    fs::path root() const { return scratch_ / "root"; }
    fs::path machineFile() const { return root() / "registry" / "HKEY_LOCAL_MACHINE.reg"; }

    test::ScratchDir scratch_;
};

TEST_F(RegCommandsTest, GetPrintsEachKindAsScriptsExpect) {
    const struct {
        const char* type;
        const char* input;
        const char* printed;
    } cases[] = {
        {"sz", "C:\\Korvana \"4\"", "C:\\Korvana \"4\"\n"},
        {"sz", "", "\n"},
        {"dword", "1033", "1033\n"},
        {"dword", "0x1F", "31\n"},
        {"dword", "-1", "-1\n"},
        {"dword", "4294967295", "-1\n"},
        {"binary", "0A1bFF", "0a1bff\n"},
        {"binary", "01,02", "0102\n"},
        {"binary", "", "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.input);
        const auto set =
            reg({"set", "HKLM\\Software\\ARVENTIK GmbH", "Value", c.input, "--type", c.type});
        ASSERT_EQ(set.exitCode, 0) << set.err;
        const auto get = reg({"get", "HKEY_LOCAL_MACHINE\\software\\arventik gmbh", "VALUE"});
        EXPECT_EQ(get.exitCode, 0) << get.err;
        EXPECT_EQ(get.out, c.printed);
    }
}

TEST_F(RegCommandsTest, BadInputIsRefusedWithTheDocumentedExitCode) {
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
    } cases[] = {
        {{"set", "HKXX\\Software", "V", "x"}, 2},
        {{"set", "Software\\X", "V", "x"}, 2},
        {{"set", "HKLM\\Software\\\\X", "V", "x"}, 2},
        {{"set", "HKLM\\Software\\", "V", "x"}, 2},
        {{"set", "HKLM\\X", "V", "12x", "--type", "dword"}, 2},
        {{"set", "HKLM\\X", "V", "4294967296", "--type", "dword"}, 2},
        {{"set", "HKLM\\X", "V", "abc", "--type", "binary"}, 2},
        {{"set", "HKLM\\X", "V", "zz", "--type", "binary"}, 2},
        {{"set", "HKLM\\X", "V", "1", "--type", "qword"}, 2},
        {{"set", "HKLM\\X", "V\nW", "1"}, 2},
        {{"get", "HKLM\\X", "V"}, 1},
        {{"list", "HKLM\\X"}, 1},
        {{"delete", "HKLM\\X"}, 1},
        {{"delete", "HKLM\\X", "V"}, 1},
        {{"delete", "HKLM"}, 2},
        {{"export", "HKCU\\Nothing"}, 1},
        {{"import", (scratch_ / "missing.reg").string()}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const auto run = reg(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_FALSE(fs::exists(machineFile()));
}

TEST_F(RegCommandsTest, ListAndDeleteWorkOnKeysAndValues) {
    reg({"set", "HKCU\\Software\\K\\Sub", "V", "1"});
    reg({"set", "HKCU\\Software\\K", "Text", "a\\b"});
    reg({"set", "HKCU\\Software\\K", "", "dflt"});
    reg({"set", "HKCU\\Software\\K", "N", "7", "--type", "dword"});

    const auto list = reg({"list", "HKCU\\software\\k"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "Sub\\\n\"Text\"=\"a\\\\b\"\n@=\"dflt\"\n\"N\"=dword:00000007\n");

    EXPECT_EQ(reg({"delete", "HKCU\\Software\\K", ""}).exitCode, 0);
    EXPECT_EQ(reg({"get", "HKCU\\Software\\K", ""}).exitCode, 1);
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\K"}).exitCode, 0);
    EXPECT_EQ(reg({"list", "HKCU\\Software\\K\\Sub"}).exitCode, 1);
    EXPECT_EQ(reg({"list", "HKCU\\Software"}).out, "Microsoft\\\n");
}

TEST_F(RegCommandsTest, ExportedRegistryImportsBackIdentically) {
    reg({"set", "HKLM\\Software\\ARVENTIK GmbH\\Korvana\\4.0", "Path", "/opt/korvana"});
    reg({"set", "HKLM\\Software\\ARVENTIK GmbH\\Korvana\\4.0", "LCID", "1033", "--type", "dword"});
    reg({"set", "HKCU\\Software\\ARVENTIK GmbH\\Korvana\\4.0", "Note", "two\r\nlines"});
    reg({"set", "HKCU\\Software\\VB\\Layout", "Dock", std::string(400, 'a'), "--type", "binary"});
    const auto file = (scratch_ / "all.reg").string();
    ASSERT_EQ(reg({"export", "--output", file}).exitCode, 0);

    const auto other = scratch_ / "other";
    const auto imported = kvs(other, {"reg", "import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(kvs(other, {"reg", "export"}).out, test::readFile(file));
    EXPECT_EQ(kvs(other, {"reg", "export", "HKLM\\software\\arventik gmbh"}).out,
              reg({"export", "HKLM\\Software\\ARVENTIK GmbH"}).out);
}

TEST_F(RegCommandsTest, BrokenHiveFileFailsNamingFileAndLineAndStaysAsItIs) {
    const std::string broken = "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"C:\\x\"\n";
    test::writeFile(machineFile(), broken);
    const auto run = reg({"set", "HKLM\\A", "W", "1"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_THAT(run.err, HasSubstr(machineFile().string() + ", line 4"));
    EXPECT_EQ(reg({"get", "HKLM\\A", "V"}).exitCode, 3);
    EXPECT_EQ(test::readFile(machineFile()), broken);
}

// A hive the studio wrote, then damaged on the way (a copy that stopped, a
// full disk): every command refuses it, says where and how to mend it, and
// changes nothing until the last good copy is put back.
TEST_F(RegCommandsTest, DamagedHiveSaysHowToMendItUntilItsBackupIsPutBack) {
    ASSERT_EQ(reg({"set", "HKLM\\A", "V", "1"}).exitCode, 0);
    ASSERT_EQ(reg({"set", "HKLM\\A", "Layout", "0a0b0c", "--type", "binary"}).exitCode, 0);
    const std::string whole = test::readFile(machineFile());
    const std::string backup = machineFile().string() + ".bak";
    const struct {
        const char* label;
        std::string damaged;
        const char* line;
        const char* advice;
    } cases[] = {
        {"within the last line", whole.substr(0, whole.size() - 4),
         ", line 5: ", "mended at that line or replaced by its last good copy, "},
        {"at a line end", whole.substr(0, whole.size() - 1), ", line 5: ",
         "cut short. The hive is damaged and is not changed until the file is replaced by its "
         "last good copy, "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        test::writeFile(machineFile(), c.damaged);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"set", "HKLM\\A", "V", "2"},
              std::vector<std::string>{"get", "HKLM\\A", "V"},
              std::vector<std::string>{"delete", "HKLM\\A"}}) {
            const auto run = reg(arguments);
            EXPECT_EQ(run.exitCode, 3);
            EXPECT_THAT(run.err, HasSubstr(machineFile().string() + c.line));
            EXPECT_THAT(run.err, HasSubstr(c.advice + backup));
        }
        EXPECT_EQ(test::readFile(machineFile()), c.damaged);
    }
    fs::copy_file(backup, machineFile(), fs::copy_options::overwrite_existing);
    EXPECT_EQ(reg({"get", "HKLM\\A", "V"}).out, "1\n");
    EXPECT_EQ(reg({"get", "HKLM\\A", "Layout"}).exitCode, 1);
}

// What regedit takes whole is imported whole (0); skipped lines are named by
// file, line and reason while the rest is imported (4); a file that is not a
// registry file is refused with nothing imported (3).
TEST_F(RegCommandsTest, ImportExitCodeSaysWhatWasImported) {
    const auto file = scratch_ / "in.reg";
    test::writeFile(file, "Windows Registry Editor Version 5.00\r"
                          "[HKEY_LOCAL_MACHINE\\Imported] ; by hand\r"
                          "\"Whole\" = dword: 00001234 ; note\r");
    const auto whole = reg({"import", file.string()});
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.err, "");
    EXPECT_EQ(reg({"get", "HKLM\\Imported", "Whole"}).out, "4660\n");

    test::writeFile(file, "Windows Registry Editor Version 5.00\r\n"
                          "[HKEY_LOCAL_MACHINE\\Imported]\r\n"
                          "\"Bad\"=dword:nope\r\n"
                          "\"Good\"=\"yes\"\r\n");
    const auto partly = reg({"import", file.string()});
    EXPECT_EQ(partly.exitCode, 4);
    EXPECT_THAT(partly.err, HasSubstr(file.string() + ", line 3: invalid dword 'nope'"));
    EXPECT_EQ(reg({"get", "HKLM\\Imported", "Good"}).out, "yes\n");

    const std::string before = test::readFile(machineFile());
    test::writeFile(file, "[HKEY_LOCAL_MACHINE\\Imported]\n\"Good\"=\"no\"\n");
    const auto refused = reg({"import", file.string()});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_THAT(refused.err, HasSubstr(file.string() + ", line 1: not a registry file"));
    EXPECT_EQ(test::readFile(machineFile()), before);
}

// One key 27,000 levels deep, far beyond what Windows holds: refused at its
// line both in a file to import and in a hive file, without a crash.
TEST_F(RegCommandsTest, KeyNestedTooDeepIsRefusedAtItsLine) {
    std::string deep = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\";
    for (int i = 0; i < 27000; ++i) {
        deep += "a\\";
    }
    deep += "a]\n";
    const auto file = scratch_ / "deep.reg";
    test::writeFile(file, deep);

    const auto imported = reg({"import", file.string()});
    EXPECT_EQ(imported.exitCode, 4);
    EXPECT_THAT(imported.err, HasSubstr(file.string() + ", line 3: "));
    const auto exported = reg({"export", "HKCU"});
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_THAT(exported.out, ::testing::Not(HasSubstr("[HKEY_CURRENT_USER\\a")));

    const auto hive = root() / "registry" / "HKEY_CURRENT_USER.reg";
    test::writeFile(hive, deep);
    const auto refused = reg({"export", "HKCU"});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_THAT(refused.err, HasSubstr(hive.string() + ", line 3: "));
    EXPECT_EQ(test::readFile(hive), deep);
}

} // namespace
} // namespace korvana
