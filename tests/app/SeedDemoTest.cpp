// The demo installation that scripts/seed-demo makes: what the studio relies
// on in it, and that seeding is safe to repeat and never lands on a folder of
// something else.
#include "app/DemoRoot.h"
#include "platform/IniFile.h"
#include "project/IconFile.h"
#include "project/ServerClientTemplate.h"
#include "project/TemplateCatalogue.h"
#include "services/InstallationKeys.h"
#include "services/InstalledVersion.h"
#include "support/KvsProcess.h"

#include <gtest/gtest.h>
#include <map>

namespace korvana::test {
namespace {

// Every file below the root with its content, and every link with its
// target. The registry's lock files only count changes, which may move.
std::map<std::string, std::string> snapshot(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            files[relative] = "-> " + std::filesystem::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file() && entry.path().extension() != ".lock") {
            files[relative] = readFile(entry.path());
        } else if (entry.is_directory()) {
            files[relative + "/"] = "";
        }
    }
    return files;
}

class SeedDemoTest : public SharedDemoRoot<> {};

TEST_F(SeedDemoTest, SeedingAgainChangesNothing) {
    const auto before = snapshot(demo_->path());
    const ProgramResult again = demo_->seed(demo_->path());
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(snapshot(demo_->path()), before);
}

TEST_F(SeedDemoTest, AFolderHoldingSomethingElseIsRefusedAndLeftAlone) {
    const auto folder = demo_->scratch("not-a-demo");
    writeFile(folder / "notes.txt", "mine");

    const ProgramResult refused = demo_->seed(folder);

    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("holds something else"), std::string::npos) << refused.err;
    const std::map<std::string, std::string> untouched{{"notes.txt", "mine"}};
    EXPECT_EQ(snapshot(folder), untouched);
}

TEST_F(SeedDemoTest, EveryKindOfTemplateIsInstalledWithItsIcon) {
    const TemplateCatalogue catalogue(demo_->registry(), demo_->installationFolder().string());
    std::map<std::string, std::pair<ProjectType, TemplateFamily>> kinds;
    std::vector<std::string> own;
    for (const TemplateRow& row : catalogue.ListTemplates(false)) {
        kinds[row.text] = {row.type, row.family};
        EXPECT_TRUE(IconFile::isReadable(row.iconFile)) << row.text << ": " << row.iconFile;
        if (row.own) {
            own.push_back(row.text);
        }
    }
    EXPECT_EQ(own, std::vector<std::string>{"Werksvorlage"});
    using enum ProjectType;
    const std::map<std::string, std::pair<ProjectType, TemplateFamily>> expected{
        {"Single project", {Single, TemplateFamily::Standard}},
        {"Server project", {Server, TemplateFamily::Standard}},
        {"Client project", {Client, TemplateFamily::Standard}},
        {"Project group", {Group, TemplateFamily::Standard}},
        {"Server/Client group (OPC)", {Group, TemplateFamily::Standard}},
        {"Single project (KV32)", {Single, TemplateFamily::KV32}},
        {"Werksvorlage", {Single, TemplateFamily::Standard}},
    };
    EXPECT_EQ(kinds, expected);
}

TEST_F(SeedDemoTest, TheServerClientTemplateHoldsBothMemberProjects) {
    const auto folder =
        demo_->installationFolder() / "Templates" / "Projects" / "Server-Client (OPC)";
    const auto members = ServerClientTemplate::of(folder.string(), ProjectType::Group);
    ASSERT_TRUE(members);
    EXPECT_EQ(members->suffix, " (OPC)");
    for (const auto& member : {members->serverFolder, members->clientFolder}) {
        const std::filesystem::path memberFolder = member;
        EXPECT_TRUE(std::filesystem::is_regular_file(memberFolder / "%ProjectName%.kvs")) << member;
        EXPECT_EQ(IniFile::readKey(memberFolder / "%ProjectName%.vbp", "Korvana4", "ProjectName"),
                  "%ProjectName%");
    }
}

TEST_F(SeedDemoTest, TheSampleProjectIsRegisteredAtItsOldLayoutAndLinkedToItsVbp) {
    EXPECT_EQ(demo_->registry().readString(
                  Hive::LocalMachine, "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\Kesselhaus",
                  "Path"),
              demo_->projectFolder().string());
    EXPECT_EQ(
        IniFile::readKey(demo_->projectFolder() / "Kesselhaus.vbp", "Korvana4", "ProjectName"),
        "Kesselhaus");
    // Made before layout versions were stored: the check starts at the bottom.
    const auto version =
        runKvs(demo_->path(), {"settings", "Kesselhaus", "get", "Global", "DBVersion"});
    EXPECT_EQ(version.exitCode, 1) << version.out;
}

TEST_F(SeedDemoTest, ProjectsOfEveryTypeAndAGroupAreRegisteredWithTheirFiles) {
    const Registry& registry = demo_->registry();
    std::map<std::string, std::string> types;
    for (const std::string& name : registry.subKeys(Hive::LocalMachine, keys::projects)) {
        const std::string key = std::string(keys::projects) + "\\" + name;
        const std::string type = registry.readString(Hive::LocalMachine, key, "ProjectType");
        types[name] = type;
        const std::filesystem::path file =
            std::filesystem::path(registry.readString(Hive::LocalMachine, key, "Path")) /
            (name + (type == "Group" ? ".vbg" : ".kvs"));
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    }
    const std::map<std::string, std::string> expected{
        {"Kesselhaus", "Single"}, {"Pumpwerk", "Single"},    {"Messstand", "Single"},
        {"Wasserwerk", "Server"}, {"Kuehlhaus", "Client"},   {"Anlage Nord", "Group"},
        {"Leitwarte", "Server"},  {"Bedienplatz", "Client"},
    };
    EXPECT_EQ(types, expected);
}

TEST_F(SeedDemoTest, TheRecentListIsFullAndNamesProjectsThatAreGone) {
    const Registry& registry = demo_->registry();
    const auto values = registry.values(Hive::CurrentUser, keys::recentProjects);
    ASSERT_EQ(values.size(), 10u);
    std::vector<std::string> stale;
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, std::to_string(i + 1));
        const std::string data = std::get<std::string>(values[i].value.data);
        ASSERT_TRUE(data.starts_with("S:")) << data;
        if (!registry.keyExists(Hive::LocalMachine,
                                std::string(keys::projects) + "\\" + data.substr(2))) {
            stale.push_back(data.substr(2));
        }
    }
    EXPECT_EQ(stale, (std::vector<std::string>{"Altbau", "Trafostation"}));
}

TEST_F(SeedDemoTest, TheInstallationOffersKV32AndNamesItsPacks) {
    const Registry& registry = demo_->registry();
    EXPECT_EQ(registry.readNumber(Hive::LocalMachine, keys::installation, "KV32", 0), 1);
    EXPECT_EQ(InstalledVersion::read(registry).text(), "4.05 (SP 1) (FP 2)");
}

} // namespace
} // namespace korvana::test
