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

    const std::string text = (scratch / "text.ini").string();
    writeFile(text, "[S]\nK=1\n");
    EXPECT_EQ(ini({"set", text, "S", "K", "two\nlines"}).exitCode, 3);
    EXPECT_EQ(ini({"set", text, "", "K", "v"}).exitCode, 3);
    EXPECT_EQ(readFile(text), "[S]\nK=1\n");
    EXPECT_FALSE(fs::exists(scratch / "root")) << "ini commands never touch the system root";
}

} // namespace
