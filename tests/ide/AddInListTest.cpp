#include "ide/AddInList.h"

#include "platform/IniFile.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

namespace korvana::ide {
namespace {

using korvana::test::readFile;
using korvana::test::writeFile;

class AddInListTest : public testing::Test {
  protected:
    std::filesystem::path file() const { return scratch / "VBAddIn.ini"; }
    std::string entry(std::string_view addIn) const {
        return IniFile::readKey(file(), "Add-Ins32", addIn, "<none>");
    }

    korvana::test::ScratchDir scratch;
    PassOver passOver;
};

TEST_F(AddInListTest, PreparesTheCurrentAddInAndPutsEveryEntryBack) {
    const std::string before = "; the developer's add-ins\r\n"
                               "[Add-Ins32]\r\n"
                               "VBSDIAddIn.Connect=0\r\n"
                               "KVAddIn.Connect=1\r\n"
                               "KV4AddIn.Connect = 0\r\n"
                               "AppWizard.Wizard=1\r\n";
    writeFile(file(), before);
    AddInList list(file());
    list.rememberPriorStates();
    ASSERT_TRUE(list.known());

    list.prepare(passOver);
    EXPECT_EQ(entry("KVAddIn.Connect"), "0");
    EXPECT_EQ(entry("KV4AddIn.Connect"), "1");
    EXPECT_EQ(entry("KVXAddIn.Connect"), "0");
    EXPECT_EQ(entry("AppWizard.Wizard"), "1");

    list.restore(passOver);
    EXPECT_EQ(entry("KVAddIn.Connect"), "1");
    EXPECT_EQ(entry("KV4AddIn.Connect"), "0");
    // Missing before the run, so missing after it.
    EXPECT_EQ(entry("KVXAddIn.Connect"), "<none>");
    EXPECT_EQ(entry("VBSDIAddIn.Connect"), "0");
    EXPECT_TRUE(passOver.notes().empty());
}

TEST_F(AddInListTest, EntriesTheDeveloperLacksAreRemovedAgain) {
    const std::string before = "[Add-Ins32]\nVBSDIAddIn.Connect=0\n";
    writeFile(file(), before);
    AddInList list(file());
    list.rememberPriorStates();
    list.prepare(passOver);
    EXPECT_EQ(entry("KV4AddIn.Connect"), "1");
    list.restore(passOver);
    EXPECT_EQ(readFile(file()), before);
}

TEST_F(AddInListTest, MissingFileIsAnEmptyList) {
    AddInList list(file());
    list.rememberPriorStates();
    ASSERT_TRUE(list.known());
    EXPECT_EQ(list.priorStates(), (std::array<std::optional<std::string>, 3>{}));
    list.prepare(passOver);
    EXPECT_EQ(entry("KV4AddIn.Connect"), "1");
    list.restore(passOver);
    EXPECT_EQ(entry("KV4AddIn.Connect"), "<none>");
    EXPECT_EQ(entry("KVAddIn.Connect"), "<none>");
}

TEST_F(AddInListTest, ListThatIsNotTextStaysUntouched) {
    const char bytes[] = "[Add-Ins32]\r\nKV4AddIn.Connect=0\r\n\0\x01\x02";
    const std::string binary(bytes, sizeof bytes - 1);
    writeFile(file(), binary);
    AddInList list(file());
    list.rememberPriorStates();
    EXPECT_FALSE(list.known());
    list.prepare(passOver);
    list.restore(passOver);
    EXPECT_EQ(readFile(file()), binary);
}

TEST_F(AddInListTest, FailingWritesAreNotedAndTheRestGoesOn) {
    // A folder where the list should be: every write fails on its own.
    std::filesystem::create_directories(scratch / "windows");
    AddInList list(scratch / "windows" / "missing" / "VBAddIn.ini");
    list.rememberPriorStates();
    ASSERT_TRUE(list.known());
    list.prepare(passOver);
    EXPECT_EQ(passOver.notes().size(), 3u);
    list.restore(passOver);
    // Deleting from a missing file has nothing to do.
    EXPECT_EQ(passOver.notes().size(), 3u);
}

} // namespace
} // namespace korvana::ide
