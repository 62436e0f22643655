#include "ProjectTestBed.h"
#include "db/Database.h"
#include "db/json/DatabaseJson.h"
#include "project/Designers.h"
#include "project/LanguageName.h"
#include "project/ProjectLanguages.h"
#include "project/ServerComponents.h"
#include "services/InstallationKeys.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;

// A project made from the installation's template database, with two more
// columns that begin with "L" but are no languages, and a third language.
class ProjectLanguageList : public test::ProjectTestBed {
  protected:
    ProjectLanguageList() {
        fs::create_directories(file.parent_path());
        db::json::createDatabaseFromJson(
            file.string(),
            readFile(fs::path(KORVANA_SOURCE_DIR) / "tests/fixtures/template-project.json"));
        auto database = db::Database::open(file.string());
        database.appendField("TidxTexts", db::FieldDef("L1036", db::DaoType::Text));
        database.appendField("TidxTexts", db::FieldDef("Layout", db::DaoType::Text));
        database.appendField("TidxTexts", db::FieldDef("L0", db::DaoType::Text));
        database.appendField("TidxTexts", db::FieldDef("L1031x", db::DaoType::Text));
    }

    void setDeveloperLanguage(std::int32_t lcid) {
        const auto handle = settings.OpenProject(file.string());
        settings.SetValue(handle, "Global", "LCID", lcid);
        settings.CloseProject(handle);
    }

    fs::path file = scratch / "Plant" / "Plant.kvs";
};

TEST_F(ProjectLanguageList, ListsLanguageColumnsWithTheDeveloperLanguageChecked) {
    setDeveloperLanguage(1033);
    const auto list = ListProjectLanguages(registry, settings, file.string(), Lcid{1033});
    EXPECT_EQ(list.problem, "");
    const std::vector<LanguageRow> expected{
        {"L1031", " 1031", "German (Germany)", true, false},
        {"L1033", " 1033", "English (United States)", true, true},
        {"L1036", " 1036", "French (France)", false, false},
    };
    EXPECT_EQ(list.rows, expected);
    EXPECT_EQ(settings.OpenHandleCount(), 0u);
}

TEST_F(ProjectLanguageList, RegisteredNameFindsTheSameFile) {
    registerProject("Plant", file.parent_path(), "Single");
    const auto byName = ListProjectLanguages(registry, settings, "Plant", Lcid{1031});
    const auto byPath = ListProjectLanguages(registry, settings, file.string(), Lcid{1031});
    EXPECT_EQ(byName.problem, "");
    EXPECT_EQ(byName.rows, byPath.rows);
    ASSERT_EQ(byName.rows.size(), 3u);
    EXPECT_EQ(byName.rows[0].name, "Deutsch (Deutschland)");
    // Without a developer language nothing is checked.
    for (const auto& row : byName.rows) {
        EXPECT_FALSE(row.checked) << row.key;
    }
}

TEST_F(ProjectLanguageList, FailuresEndTheListAndSayWhy) {
    registerProject("Empty", scratch / "Empty", "Single");
    makeProject(scratch / "Empty", "Empty", {{"LCID", "1031"}});
    registerProject("../Plant", scratch.path(), "Single");
    for (const std::string& project : std::vector<std::string>{
             "Unregistered", "../Plant", (scratch / "Missing.kvs").string(), "Empty"}) {
        const auto list = ListProjectLanguages(registry, settings, project, Lcid{1031});
        EXPECT_TRUE(list.rows.empty()) << project;
        EXPECT_NE(list.problem, "") << project;
        EXPECT_EQ(settings.OpenHandleCount(), 0u) << project;
    }
}

TEST(LanguageNames, FollowTheUserInterfaceLanguage) {
    EXPECT_EQ(languageName(Lcid{1031}, Lcid{1031}), "Deutsch (Deutschland)");
    EXPECT_EQ(languageName(Lcid{1031}, Lcid{1033}), "German (Germany)");
    EXPECT_EQ(languageName(Lcid{2055}, Lcid{1033}), "German (Switzerland)");
    EXPECT_EQ(languageName(Lcid{0}, Lcid{1033}), "");
    EXPECT_EQ(languageName(Lcid{-5}, Lcid{1033}), "");
}

class ServerComponentList : public test::ProjectTestBed {
  protected:
    ServerComponentList() {
        for (const auto& [name, description, dependencies] :
             std::vector<std::tuple<std::string, std::string, std::string>>{
                 {"kvekernel", "Kernel", ""},
                 {"KVPdb", "Process database", ""},
                 {"KVAlarm", "Alarms", "KVPdb"},
                 {"kvFormula", "Formulas", "KVPdb;KVAlarm"},
                 {"KVTrend", "Trends", ""},
                 {"KVRecipe", "", ""},
             }) {
            const std::string key = std::string(keys::serverComponents) + "\\" + name;
            registry.writeString(Hive::LocalMachine, key, "Description", description);
            if (!dependencies.empty()) {
                registry.writeString(Hive::LocalMachine, key, "Dependencies", dependencies);
            }
        }
        file = makeProject(scratch / "Plant", "Plant", {});
        const auto handle = settings.OpenProject(file.string());
        settings.SetValue(handle, "ServerComponents", "kvalarm", std::int16_t{1});
        settings.SetValue(handle, "ServerComponents", "KVTrend", std::int16_t{0});
        settings.SetValue(handle, "ServerComponents", "KVFormula", std::int16_t{-1});
        settings.SetValue(handle, "ServerComponents", "KVRecipe", std::string("yes"));
        settings.SetValue(handle, "ServerComponents", "KVNotInstalled", std::int16_t{1});
        settings.CloseProject(handle);
    }

    fs::path file;
};

TEST_F(ServerComponentList, OffersWhatTheFamilyMayUseCheckedFromTheProject) {
    struct Case {
        ProjectMainType family;
        std::vector<ServerComponentRow> rows;
    };
    const ServerComponentRow alarm{"KVAlarm", "Alarms", "KVPdb", true};
    const ServerComponentRow formula{"kvFormula", "Formulas", "KVPdb;KVAlarm", true};
    const ServerComponentRow trend{"KVTrend", "Trends", "", false};
    const ServerComponentRow recipe{"KVRecipe", "", "", false};
    const std::vector<Case> cases{
        {ProjectMainType::Standard, {alarm, formula, trend, recipe}},
        {ProjectMainType::KV32, {alarm, trend, recipe}},
    };
    for (const auto& [family, rows] : cases) {
        const auto list = ListServerComponents(registry, settings, file.string(), family);
        EXPECT_EQ(list.rows, rows) << static_cast<int>(family);
        EXPECT_EQ(list.problem, "");
    }
    EXPECT_EQ(settings.OpenHandleCount(), 0u);
}

TEST_F(ServerComponentList, MissingProjectStillListsTheComponents) {
    const auto list =
        ListServerComponents(registry, settings, "Unregistered", ProjectMainType::KV32);
    ASSERT_EQ(list.rows.size(), 3u);
    for (const auto& row : list.rows) {
        EXPECT_FALSE(row.checked) << row.name;
    }
    EXPECT_NE(list.problem, "");
}

TEST(DesignerList, OffersInstalledVisualBasicVersionsNewestSelected) {
    const std::string vb5 = "Software\\Microsoft\\Visual Basic\\5.0";
    const std::string vb6 = "Software\\Microsoft\\VisualStudio\\6.0\\Setup\\Microsoft Visual Basic";
    struct Case {
        std::string installDir5;
        std::string productDir6;
        std::vector<std::string> names;
        std::optional<std::size_t> selected;
    };
    const std::vector<Case> cases{
        {"", "", {}, std::nullopt},
        {"C:\\VB5", "", {"Visual Basic 5.0"}, 0},
        {"", "C:\\VB98", {"Visual Basic 6.0"}, 0},
        {"C:\\VB5", "C:\\VB98", {"Visual Basic 5.0", "Visual Basic 6.0"}, 1},
    };
    for (const auto& [dir5, dir6, names, selected] : cases) {
        test::MemoryRegistry registry;
        registry.writeString(Hive::LocalMachine, vb5, "InstallDir", dir5);
        registry.writeString(Hive::LocalMachine, vb6, "ProductDir", dir6);
        const auto list = ListDesigners(registry);
        EXPECT_EQ(list.names, names);
        EXPECT_EQ(list.selected, selected);
    }
}

} // namespace
} // namespace korvana
