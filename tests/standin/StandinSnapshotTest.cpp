#include "IdeSnapshot.h"
#include "SnapshotReport.h"
#include "ide/ToolBoxRecords.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

namespace korvana::standin {
namespace {

const char* const vb6Key = "Software\\Microsoft\\Visual Basic\\6.0";

class StandinSnapshotTest : public ::testing::Test {
  protected:
    void writeTool(const ide::ToolBoxRecords& records) {
        registry_.writeBinary(Hive::CurrentUser, vb6Key, "Tool", ide::serializeToolBox(records));
    }
    void writeAddIns(std::string_view text) {
        test::writeFile(scratch_ / "windows" / "VBAddIn.ini", text);
    }
    IdeSnapshot read() { return IdeSnapshot::read(registry_, scratch_ / "windows", 6, {"a.vbp"}); }

    test::MemoryRegistry registry_;
    test::ScratchDir scratch_;
};

TEST_F(StandinSnapshotTest, ShowsEachTabWithItsControlsInStoredOrder) {
    writeTool({{{1, "General"}, {7, "KorvanaStudio"}},
               {{7, "KV4BarLib.KVBar"}, {1, "MSComctlLib.ListViewCtrl"}, {7, "KV4KeyLib.KVKey"}}});
    const IdeSnapshot snapshot = read();
    const std::vector<ToolBoxTab> expected{
        {1, "General", {"MSComctlLib.ListViewCtrl"}},
        {7, "KorvanaStudio", {"KV4BarLib.KVBar", "KV4KeyLib.KVKey"}}};
    EXPECT_EQ(snapshot.tabs, expected);
    EXPECT_TRUE(snapshot.problems.empty());
}

TEST_F(StandinSnapshotTest, TellsDamagedSettingsAndGoesOn) {
    // A toolbox cut short, a control on a tab that is not there, and an
    // add-in list that is not text.
    Bytes tool = ide::serializeToolBox({{{1, "General"}}, {{1, "A.B"}}});
    tool.resize(tool.size() - 6);
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Tool", tool);
    writeAddIns(std::string("[Add-Ins32]\nX=1\n\0\0\0", 19));
    IdeSnapshot snapshot = read();
    EXPECT_TRUE(snapshot.tabs.empty());
    EXPECT_TRUE(snapshot.addIns.empty());
    ASSERT_EQ(snapshot.problems.size(), 2u);
    EXPECT_NE(snapshot.problems[0].find("\"Tool\""), std::string::npos);
    EXPECT_NE(snapshot.problems[1].find("add-in"), std::string::npos);

    writeTool({{{1, "General"}}, {{3, "Lost.Control"}}});
    snapshot = read();
    ASSERT_EQ(snapshot.problems.size(), 2u);
    EXPECT_NE(snapshot.problems[0].find("Lost.Control"), std::string::npos);
}

TEST_F(StandinSnapshotTest, ListsTheAddInsSetToOne) {
    writeAddIns("; the IDE's add-in list\r\n"
                "[Other]\r\nElsewhere.Connect=1\r\n"
                "[add-ins32]\r\n"
                "KVAddIn.Connect=0\r\n"
                "KV4AddIn.Connect = 1\r\n"
                "Quoted.Connect=\"1\"\r\n"
                "Two.Connect=2\r\n"
                "kv4addin.connect=0\r\n" // a second line of a key: the first wins
                "AppWizard.Wizard=1\r\n"
                "[Add-Ins16]\r\nOld.Connect=1\r\n");
    EXPECT_EQ(read().addIns,
              (std::vector<std::string>{"KV4AddIn.Connect", "Quoted.Connect", "AppWizard.Wizard"}));
}

TEST_F(StandinSnapshotTest, AMissingAddInListOrToolboxIsNoProblem) {
    const IdeSnapshot snapshot = read();
    EXPECT_TRUE(snapshot.tabs.empty());
    EXPECT_TRUE(snapshot.addIns.empty());
    EXPECT_TRUE(snapshot.problems.empty());
    EXPECT_EQ(snapshot.layout, IdeLayout{});
}

TEST_F(StandinSnapshotTest, ReportsNamesThatAreNotUtf8WithoutLosingTheReport) {
    writeTool({{{1, "Gr\xfc\xdf"}}, {}});
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Dock", {0x00, 0xff});
    registry_.writeString(Hive::CurrentUser, vb6Key, "UI", "not binary");
    const auto file = scratch_ / "report.json";
    writeSnapshotReport(file, read());
    const auto report = nlohmann::json::parse(test::readFile(file));
    EXPECT_EQ(report["tabs"][0]["name"], "Gr\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(report["dock"], "00ff");
    EXPECT_TRUE(report["ui"].is_null());
    EXPECT_EQ(report["arguments"], nlohmann::json::array({"a.vbp"}));
    EXPECT_EQ(report["version"], 6);
}

TEST(StandinLayoutTest, MovingTheExplorerChangesBothValuesPredictably) {
    IdeLayout layout;
    layout.moveProjectExplorer(ExplorerPlace::Right);
    EXPECT_EQ(layout.dock, (Bytes{2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(layout.ui, (Bytes{1, 0, 0, 0}));

    // The IDE's own bytes stay; the move counter wraps.
    layout = {Bytes{9, 8, 7}, Bytes{0xff, 0x42}};
    layout.moveProjectExplorer(ExplorerPlace::Floating);
    EXPECT_EQ(layout.dock, (Bytes{3, 8, 7}));
    EXPECT_EQ(layout.ui, (Bytes{0x00, 0x42}));
    layout.moveProjectExplorer(ExplorerPlace::Left);
    EXPECT_EQ(layout.dock, (Bytes{1, 8, 7}));
    EXPECT_EQ(layout.ui, (Bytes{0x01, 0x42}));
}

TEST(StandinLayoutTest, AClosingIdeAlwaysLeavesBothValues) {
    test::MemoryRegistry registry;
    IdeLayout{Bytes{5, 5}, std::nullopt}.completed().write(registry, 5);
    const char* key = "Software\\Microsoft\\Visual Basic\\5.0";
    EXPECT_EQ(registry.value(Hive::CurrentUser, key, "Dock"), RegistryValue::binary({5, 5}));
    EXPECT_EQ(registry.value(Hive::CurrentUser, key, "UI"), RegistryValue::binary({0, 0, 0, 0}));
    EXPECT_EQ(IdeLayout::read(registry, 5), (IdeLayout{Bytes{5, 5}, Bytes{0, 0, 0, 0}}));
    EXPECT_EQ(IdeLayout::read(registry, 6), IdeLayout{});
}

TEST(StandinVersionTest, TellsTheVersionFromTheProgramName) {
    EXPECT_EQ(versionFromProgramName("/opt/VB5/VB5.exe"), 5);
    EXPECT_EQ(versionFromProgramName("vb5.EXE"), 5);
    EXPECT_EQ(versionFromProgramName("C:\\VB\\VB5.exe"), 5);
    EXPECT_EQ(versionFromProgramName("/opt/VB98/VB6.exe"), 6);
    EXPECT_EQ(versionFromProgramName("/opt/VB5.exe/vb-standin"), 6);
    EXPECT_EQ(versionFromProgramName(""), 6);
}

} // namespace
} // namespace korvana::standin
