#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::test::KvsRun;
using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;

// Runs kvs in a scratch system root; stderr is dropped, the exit code tells.
KvsRun kvs(const fs::path& root, const std::vector<std::string>& arguments) {
    return korvana::test::runKvs(root, arguments);
}

class IniCommandsTest : public ::testing::Test {
  protected:
    KvsRun ini(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "ini");
        return kvs(scratch / "root", arguments);
    }

    ScratchDir scratch;
    std::string file = (scratch / "VBAddIn.ini").string();
};

TEST_F(IniCommandsTest, GetPrintsTheValueOrTheDefaultOrExitsWithNotFound) {
    writeFile(file, "[Add-Ins32]\r\nKorvana.Connect = 3\r\nEmpty=\r\n");
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* out;
    } cases[] = {
        {{"get", file, "add-ins32", "KORVANA.CONNECT"}, 0, "3\n"},
        {{"get", file, "Add-Ins32", "Empty"}, 0, "\n"},
        {{"get", file, "Add-Ins32", "Missing"}, 1, ""},
        {{"get", file, "Add-Ins32", "Missing", "fallback"}, 0, "fallback\n"},
        {{"get", file, "Add-Ins32", "Missing", ""}, 0, "\n"},
        {{"get", (scratch / "none.ini").string(), "S", "K"}, 1, ""},
        {{"get", file, "Add-Ins32"}, 2, ""},
    };
    for (const auto& c : cases) {
        const KvsRun result = ini(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_EQ(result.out, c.out) << c.arguments.back();
    }
}

TEST_F(IniCommandsTest, SetAndDeleteKeepTheRestOfTheFile) {
    const std::string original = "; shared\r\n[Add-Ins32]\r\nOther.Connect=0\r\n";
    writeFile(file, original);

    EXPECT_EQ(ini({"set", file, "Add-Ins32", "Korvana.Connect", "--", "-1"}).exitCode, 0);
    EXPECT_EQ(readFile(file),
              "; shared\r\n[Add-Ins32]\r\nOther.Connect=0\r\nKorvana.Connect=-1\r\n");
    EXPECT_EQ(ini({"get", file, "add-ins32", "korvana.connect"}).out, "-1\n");

    EXPECT_EQ(ini({"delete", file, "ADD-INS32", "Korvana.Connect"}).exitCode, 0);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(ini({"delete", file, "Add-Ins32", "Korvana.Connect"}).exitCode, 0);

    const std::string created = (scratch / "new.ini").string();
    EXPECT_EQ(ini({"set", created, "S", "K", "v"}).exitCode, 0);
    EXPECT_EQ(readFile(created), "[S]\r\nK=v\r\n");
}

TEST_F(IniCommandsTest, RefusedChangesFailAndLeaveTheFileAlone) {
    using namespace std::string_literals;
    // A database page, and binary data without a NUL byte.
    for (const std::string& binary :
         {"MSysObjects\0\x01[S]\r\nK=1\r\n"s, "\x89PNG\r\n\x1A\n\xDE\xAD\xBE\xEF[S]\r\nK=1\r\n"s,
          "[S]\r\nK=1\r\n" + std::string(40, '\xAB')}) {
        writeFile(file, binary);
        EXPECT_EQ(ini({"set", file, "S", "K", "2"}).exitCode, 3);
        EXPECT_EQ(ini({"set", file, "New", "K", "2"}).exitCode, 3);
        EXPECT_EQ(ini({"get", file, "S", "K"}).exitCode, 3);
        EXPECT_EQ(readFile(file), binary);
    }

    EXPECT_FALSE(fs::exists(scratch / "root")) << "ini commands never touch the system root";
}

// An entry that could not be read back is bad input: refused before the file
// is touched, so that the file stays readable.
TEST_F(IniCommandsTest, SetRefusesEntriesThatWouldNotReadBack) {
    writeFile(file, "[S]\nK=1\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
        const char* reason;
    } cases[] = {
        {"S", "K", "x\x01", "control character (U+0001)"},
        {"S", "New", "\x1B[31m", "control character (U+001B)"},
        {"S", "K", "a\x7F", "control character (U+007F)"},
        {"S", "K", "two\nlines", "line break"},
        {"S\x01", "K", "v", "section name cannot hold a control character"},
        {"S", "K\x02", "v", "key name cannot hold a control character"},
        {"", "K", "v", "section name"},
    };
    for (const auto& c : cases) {
        const KvsRun run =
            korvana::test::runKvs(scratch / "root", {"ini", "set", file, c.section, c.key, c.value},
                                  {}, scratch / "stderr.txt");
        EXPECT_EQ(run.exitCode, 2) << c.reason;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(readFile(file), "[S]\nK=1\n") << c.reason;
    }
    EXPECT_EQ(ini({"get", file, "S", "K"}).out, "1\n");
    EXPECT_EQ(ini({"set", file, "S", "K", "tab\tinside"}).exitCode, 0);
    EXPECT_EQ(ini({"get", file, "S", "K"}).out, "tab\tinside\n");
}

// Old Macintosh files end their lines with a carriage return alone.
TEST_F(IniCommandsTest, LoneCarriageReturnEndsALine) {
    writeFile(file, "[S]\rA=1\r");
    EXPECT_EQ(ini({"get", file, "S", "A"}).out, "1\n");
    EXPECT_EQ(ini({"set", file, "S", "B", "2"}).exitCode, 0);
    EXPECT_EQ(readFile(file), "[S]\rA=1\rB=2\r");
    EXPECT_EQ(ini({"get", file, "S", "B"}).out, "2\n");

    writeFile(file, "[S]\r");
    EXPECT_EQ(ini({"set", file, "S", "K", "v"}).exitCode, 0);
    EXPECT_EQ(readFile(file), "[S]\rK=v\r");
    EXPECT_EQ(ini({"get", file, "s", "k"}).out, "v\n");
}

} // namespace
