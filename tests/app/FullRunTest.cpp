// A developer opens the sample project twice. The IDE must find the studio's
// toolbox and add-in, and afterwards the developer's own settings must be
// back exactly as they were, while the project keeps the layout the IDE left.
#include "app/DemoRoot.h"
#include "db/Database.h"
#include "support/KvsProcess.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <set>

namespace korvana::test {
namespace {

const std::string vbKey = "Software\\Microsoft\\Visual Basic\\6.0";
const std::string recentKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\RecentProjects";

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// The developer's IDE settings as they stand.
struct DeveloperSettings {
    std::optional<Bytes> tool;
    std::optional<Bytes> dock;
    std::optional<Bytes> ui;
    std::string addIns;

    static DeveloperSettings read(DemoRoot& demo) {
        return {binaryValue(demo.registry(), Hive::CurrentUser, vbKey, "Tool"),
                binaryValue(demo.registry(), Hive::CurrentUser, vbKey, "Dock"),
                binaryValue(demo.registry(), Hive::CurrentUser, vbKey, "UI"),
                readFile(demo.addInFile())};
    }
    bool operator==(const DeveloperSettings&) const = default;
};

// The window layout rows the project keeps ("Dock", "UI").
std::map<std::string, Bytes> storedLayout(const std::filesystem::path& projectFile) {
    auto database = db::Database::open(projectFile.string());
    const auto rows = database.query(
        "SELECT Entry, Value FROM TcfgBinary WHERE ParentID = 0 AND Section = 'Visual Basic'");
    std::map<std::string, Bytes> layout;
    for (const auto& row : rows.rows) {
        const auto* entry = std::get_if<std::string>(&row.at(0));
        const auto* value = std::get_if<db::Bytes>(&row.at(1));
        if (entry && value) {
            layout[*entry] = *value;
        }
    }
    return layout;
}

// The recent list's entries in the order of their positions.
std::vector<std::string> recentList(DemoRoot& demo) {
    std::vector<std::string> entries;
    for (const NamedValue& value : demo.registry().values(Hive::CurrentUser, recentKey)) {
        entries.push_back(std::get<std::string>(value.value.data));
    }
    return entries;
}

const std::string firstDock = "d0c0d0c0d0c0";
const std::string firstUi = "0101fefe";
const std::string secondDock = "0d0c";
const std::string secondUi = "ee";

class FullRunTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        demo_ = new DemoRoot();
        before_ = DeveloperSettings::read(*demo_);
        recentBefore_ = recentList(*demo_);
        firstRun_ = demo_->studio({"-p=Kesselhaus"}, {},
                                  "dock=" + firstDock + ";ui=" + firstUi + ";sleep-ms=50;exit=0");
        after_ = DeveloperSettings::read(*demo_);
        layoutAfterFirstRun_ = storedLayout(demo_->projectFile());
        recentAfterFirstRun_ = recentList(*demo_);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    static const nlohmann::json& tab(const std::string& name) {
        for (const auto& tab : firstRun_.report->at("tabs")) {
            if (tab.at("name") == name) {
                return tab;
            }
        }
        static const nlohmann::json none;
        ADD_FAILURE() << "no toolbox tab " << name;
        return none;
    }

    static DemoRoot* demo_;
    static DeveloperSettings before_;
    static DeveloperSettings after_;
    static StudioRun firstRun_;
    static std::map<std::string, Bytes> layoutAfterFirstRun_;
    static std::vector<std::string> recentBefore_;
    static std::vector<std::string> recentAfterFirstRun_;
};

DemoRoot* FullRunTest::demo_ = nullptr;
DeveloperSettings FullRunTest::before_;
DeveloperSettings FullRunTest::after_;
StudioRun FullRunTest::firstRun_;
std::map<std::string, Bytes> FullRunTest::layoutAfterFirstRun_;
std::vector<std::string> FullRunTest::recentBefore_;
std::vector<std::string> FullRunTest::recentAfterFirstRun_;

TEST_F(FullRunTest, OpensTheProjectFileInVisualBasic6) {
    ASSERT_EQ(firstRun_.process.exitCode, 0) << firstRun_.process.err;
    ASSERT_TRUE(firstRun_.report) << firstRun_.process.err;
    EXPECT_EQ(firstRun_.report->at("version"), 6);
    EXPECT_EQ(firstRun_.report->at("arguments"),
              nlohmann::json::array({(demo_->projectFolder() / "Kesselhaus.vbp").string()}));
    EXPECT_EQ(firstRun_.report->at("problems"), nlohmann::json::array());
}

TEST_F(FullRunTest, TheIdeFindsTheStudioTabBesideTheDevelopersOwnTabs) {
    ASSERT_TRUE(firstRun_.report) << firstRun_.process.err;
    std::vector<std::pair<int, std::string>> tabs;
    for (const auto& tab : firstRun_.report->at("tabs")) {
        tabs.emplace_back(tab.at("id").get<int>(), tab.at("name").get<std::string>());
    }
    // The old studio tab (id 4) is gone; the new one takes the next free id.
    const std::vector<std::pair<int, std::string>> expected{
        {1, "Allgemein"}, {3, "Datenbank"}, {4, "KorvanaStudio"}};
    EXPECT_EQ(tabs, expected);

    const auto studio = tab("KorvanaStudio").at("controls").get<std::vector<std::string>>();
    ASSERT_EQ(studio.size(), 62u);
    EXPECT_EQ(studio.front(), "KV4AlarmLineLib.KVAlarmLine");
    EXPECT_EQ(studio[38], "KVSLanguageLib.KVSIndex");
    EXPECT_EQ(studio.back(), "KVSPropertyPages.KVRightClasses");
    EXPECT_EQ(std::set<std::string>(studio.begin(), studio.end()).size(), 62u);

    // The developer's controls stay, the studio's old ones ("KV..." in any
    // case, "Korvana...") are gone from the developer's tabs.
    EXPECT_EQ(tab("Allgemein").at("controls"),
              nlohmann::json::array(
                  {"MSComctlLib.ListViewCtrl", "MSComctlLib.TreeCtrl", "MSComDlg.CommonDialog"}));
    EXPECT_EQ(tab("Datenbank").at("controls"),
              nlohmann::json::array({"MSDataGridLib.DataGrid", "MSAdodcLib.Adodc"}));
}

TEST_F(FullRunTest, OnlyTheCurrentStudioAddInIsLoaded) {
    ASSERT_TRUE(firstRun_.report) << firstRun_.process.err;
    EXPECT_EQ(firstRun_.report->at("addIns"), nlohmann::json::array({"KV4AddIn.Connect"}));
}

TEST_F(FullRunTest, AProjectWithoutStoredLayoutRunsWithTheDevelopersLayout) {
    ASSERT_TRUE(firstRun_.report) << firstRun_.process.err;
    ASSERT_TRUE(before_.dock && before_.ui);
    EXPECT_EQ(bytesOf(firstRun_.report->at("dock").get<std::string>()), *before_.dock);
    EXPECT_EQ(bytesOf(firstRun_.report->at("ui").get<std::string>()), *before_.ui);
}

TEST_F(FullRunTest, TheDevelopersSettingsAreBackByteForByte) {
    ASSERT_TRUE(before_.tool);
    EXPECT_EQ(after_.tool, before_.tool);
    EXPECT_EQ(after_.dock, before_.dock);
    EXPECT_EQ(after_.ui, before_.ui);
    EXPECT_EQ(after_.addIns, before_.addIns);
}

TEST_F(FullRunTest, TheProjectKeepsTheLayoutTheIdeLeft) {
    const std::map<std::string, Bytes> expected{{"Dock", bytesOf(firstDock)},
                                                {"UI", bytesOf(firstUi)}};
    EXPECT_EQ(layoutAfterFirstRun_, expected);
}

TEST_F(FullRunTest, TheOldDatabaseWasUpgradedOnTheWay) {
    const auto run =
        runKvs(demo_->path(), {"settings", "Kesselhaus", "get", "Global", "DBVersion"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "4.05.000\n");
}

// The demo's list names the project further down: it moves to the top, once,
// and the others keep their order.
TEST_F(FullRunTest, TheProjectHeadsTheRecentList) {
    ASSERT_NE(recentBefore_.front(), "S:Kesselhaus");
    std::vector<std::string> expected{"S:Kesselhaus"};
    std::copy_if(recentBefore_.begin(), recentBefore_.end(), std::back_inserter(expected),
                 [](const std::string& entry) { return entry != "S:Kesselhaus"; });
    EXPECT_EQ(recentAfterFirstRun_, expected);
}

TEST_F(FullRunTest, ASecondRunAppliesTheStoredLayoutAndStoresTheNewOne) {
    const StudioRun second = demo_->studio(
        {"-p=Kesselhaus"}, {}, "dock=" + secondDock + ";ui=" + secondUi + ";sleep-ms=20;exit=0");
    ASSERT_EQ(second.process.exitCode, 0) << second.process.err;
    ASSERT_TRUE(second.report) << second.process.err;
    const auto& stored = layoutAfterFirstRun_;
    ASSERT_TRUE(stored.contains("Dock") && stored.contains("UI"));
    EXPECT_EQ(bytesOf(second.report->at("dock").get<std::string>()), stored.at("Dock"));
    EXPECT_EQ(bytesOf(second.report->at("ui").get<std::string>()), stored.at("UI"));

    const std::map<std::string, Bytes> expected{{"Dock", bytesOf(secondDock)},
                                                {"UI", bytesOf(secondUi)}};
    EXPECT_EQ(storedLayout(demo_->projectFile()), expected);
    EXPECT_EQ(DeveloperSettings::read(*demo_), before_);
    EXPECT_EQ(recentList(*demo_), recentAfterFirstRun_);
}

} // namespace
} // namespace korvana::test
