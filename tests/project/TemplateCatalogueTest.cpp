#include "project/TemplateCatalogue.h"

#include "project/IconFile.h"
#include "project/ServerClientTemplate.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <optional>

namespace korvana::test {
namespace {

using testing::ElementsAre;

// A one-image icon directory followed by its image bytes.
std::string iconBytes(std::uint16_t type = 1, std::uint16_t count = 1, std::uint32_t size = 8) {
    std::string bytes{'\0', '\0', static_cast<char>(type), '\0', static_cast<char>(count), '\0'};
    std::string entry(16, '\0');
    entry[8] = static_cast<char>(size);
    entry[12] = 6 + 16;
    return bytes + entry + std::string(8, '\x7f');
}

class Catalogue : public testing::Test {
  protected:
    std::filesystem::path installed(const std::string& folder) const {
        return scratch / "install" / "Templates" / "Projects" / folder;
    }
    std::filesystem::path own(const std::string& folder) const {
        return scratch / "mine" / "Projects" / folder;
    }
    static void makeTemplate(const std::filesystem::path& folder, std::optional<std::string> info,
                             bool withIcon = false) {
        std::filesystem::create_directories(folder);
        if (info) {
            writeFile(folder / "_Info.ini", *info);
        }
        if (withIcon) {
            writeFile(folder / "_Icon.ico", iconBytes());
        }
    }
    static std::string info(const std::string& name, const std::string& type,
                            const std::string& tab = "") {
        return "[Info]\r\nName=" + name + "\r\nProjectType=" + type + "\r\nTab=" + tab +
               "\r\nComment=About " + name + "\r\n";
    }
    void useOwnTemplates() {
        registry.writeString(Hive::CurrentUser, "Software\\ARVENTIK GmbH\\Korvana\\4.0",
                             "TemplatesPath", (scratch / "mine").string());
    }
    // "family:text:icon" per row, icon "*" for the standard one.
    std::vector<std::string> listing(bool addMode = false) const {
        std::vector<std::string> rows;
        for (const auto& row : catalogue.ListTemplates(addMode)) {
            const std::string icon =
                row.iconFile.empty()
                    ? "*"
                    : std::filesystem::path(row.iconFile).parent_path().filename().string();
            rows.push_back(std::string(row.family == ProjectMainType::KV32 ? "kv32" : "std") + ":" +
                           row.text + ":" + icon);
        }
        return rows;
    }

    ScratchDir scratch;
    MemoryRegistry registry;
    TemplateCatalogue catalogue{registry, (scratch / "install").string()};
};

TEST_F(Catalogue, TemplateWithoutDescriptionUsesTheDefaults) {
    makeTemplate(installed("Bare"), std::nullopt);
    // An icon file that holds no icon gives the standard icon.
    writeFile(installed("Bare") / "_Icon.ico", "GIF89a not an icon at all");
    const auto rows = catalogue.ListTemplates(false);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].key, "S:Bare");
    EXPECT_EQ(rows[0].text, "Bare");
    EXPECT_EQ(rows[0].iconKey, "Bare");
    EXPECT_EQ(rows[0].iconFile, "");
    EXPECT_EQ(rows[0].toolTip, "");
    EXPECT_EQ(rows[0].tag, installed("Bare").string());
    EXPECT_EQ(rows[0].family, ProjectMainType::Standard);
    EXPECT_EQ(rows[0].typeName, "None");
    EXPECT_EQ(rows[0].type, ProjectType::None);
    EXPECT_FALSE(rows[0].own);
}

TEST_F(Catalogue, ReadsDescriptionsAsWindowsWritesThem) {
    makeTemplate(installed("A"),
                 "\xEF\xBB\xBF[INFO]\r\nname = Plant \r\nPROJECTTYPE=Server\r\n"
                 "tab=KV32\r\ncomment=\"Two words\"\r\n",
                 true);
    makeTemplate(installed("B"), info("Lower", "group"));
    makeTemplate(installed("C"), std::string("\x01\x02\0\xff", 4));
    makeTemplate(installed("D"), "[Info]\r\nName=\r\nTab=kv32\r\n");
    const auto rows = catalogue.ListTemplates(false);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].text, "Plant");
    EXPECT_EQ(rows[0].type, ProjectType::Server);
    EXPECT_EQ(rows[0].family, ProjectMainType::KV32);
    EXPECT_EQ(rows[0].toolTip, "Two words");
    EXPECT_EQ(rows[0].iconFile, (installed("A") / "_Icon.ico").string());
    EXPECT_EQ(rows[1].typeName, "group");
    EXPECT_EQ(rows[1].type, ProjectType::None) << "type names are compared exactly";
    EXPECT_EQ(rows[2].text, "C") << "a description that is not text gives the defaults";
    EXPECT_EQ(rows[3].text, "D");
    EXPECT_EQ(rows[3].family, ProjectMainType::Standard) << "only \"KV32\" itself";
}

TEST_F(Catalogue, DisplayNamesAreUniquePerFamilyAndShareIcons) {
    makeTemplate(installed("1"), info("Plant", "Single"), true);
    makeTemplate(installed("2"), info("Plant", "Server"), true);
    makeTemplate(installed("3"), info("plant", "Single", "KV32"), true);
    makeTemplate(installed("4"), info("Other", "Single", "KV32"));
    EXPECT_THAT(listing(), ElementsAre("std:Plant:1", "kv32:plant:1", "kv32:Other:*"));
}

TEST_F(Catalogue, OwnTemplatesFollowUnderTheirFolderNames) {
    makeTemplate(installed("1"), info("Plant", "Single", "KV32"), true);
    makeTemplate(own("Plant"), info("Ignored", "Single"), true);
    makeTemplate(own("Mine"), info("Ignored", "Client", "KV32"), true);
    makeTemplate(own("Bare"), std::nullopt);
    EXPECT_THAT(listing(), ElementsAre("kv32:Plant:1")) << "no TemplatesPath, no own templates";

    useOwnTemplates();
    EXPECT_THAT(listing(), ElementsAre("kv32:Plant:1", "std:Bare:*", "std:Mine:Mine"));
    const auto rows = catalogue.ListTemplates(false);
    EXPECT_TRUE(rows[2].own);
    EXPECT_EQ(rows[2].toolTip, "About Ignored");
    EXPECT_EQ(rows[2].tag, own("Mine").string());

    std::filesystem::remove_all(scratch / "mine" / "Projects");
    EXPECT_THAT(listing(), ElementsAre("kv32:Plant:1"));
}

TEST_F(Catalogue, AddModeLeavesOutInstalledGroupTemplates) {
    makeTemplate(installed("G"), info("Grp", "Group"));
    makeTemplate(installed("S"), info("Single", "Single"));
    makeTemplate(own("Grp"), std::nullopt);
    makeTemplate(own("MyGroup"), info("MyGroup", "Group"));
    useOwnTemplates();
    EXPECT_THAT(listing(false), ElementsAre("std:Grp:*", "std:Single:*", "std:MyGroup:*"));
    // The left-out template's image still takes its name.
    EXPECT_THAT(listing(true), ElementsAre("std:Single:*", "std:MyGroup:*"));
}

TEST(IconFile, AcceptsOnlyCompleteIconDirectories) {
    ScratchDir scratch;
    const std::vector<std::pair<std::string, bool>> cases{
        {iconBytes(), true},
        {iconBytes(2), false},         // a cursor
        {iconBytes(1, 0), false},      // no image
        {iconBytes(1, 1, 200), false}, // image past the end
        {iconBytes(1, 3), false},      // directory past the end
        {"[Info]\r\nName=Not an icon\r\n", false},
        {"", false},
    };
    int i = 0;
    for (const auto& [bytes, readable] : cases) {
        const auto file = scratch / ("icon" + std::to_string(i++) + ".ico");
        writeFile(file, bytes);
        EXPECT_EQ(IconFile::isReadable(file.string()), readable) << i;
    }
    EXPECT_FALSE(IconFile::isReadable((scratch / "missing.ico").string()));
    EXPECT_FALSE(IconFile::isReadable(scratch.path().string()));
}

TEST(ServerClientTemplate, IsAGroupTemplateNamedServerClient) {
    struct Case {
        std::string folder;
        ProjectType type;
        std::optional<std::string> suffix;
    };
    const std::vector<Case> cases{
        {"/t/Server-Client", ProjectType::Group, ""},
        {"/t/server-client_V2", ProjectType::Group, "_V2"},
        {"/t/SERVER-CLIENT Demo", ProjectType::Group, " Demo"},
        {"/t/Server Client", ProjectType::Group, std::nullopt},
        {"/t/Server-Clien", ProjectType::Group, std::nullopt},
        {"/t/Server-Client", ProjectType::Single, std::nullopt},
    };
    for (const auto& [folder, type, suffix] : cases) {
        SCOPED_TRACE(folder);
        const auto found = ServerClientTemplate::of(folder, type);
        ASSERT_EQ(found.has_value(), suffix.has_value());
        if (found) {
            EXPECT_EQ(found->suffix, *suffix);
            EXPECT_EQ(found->serverFolder, folder + "/Server" + *suffix);
            EXPECT_EQ(found->clientFolder, folder + "/Client" + *suffix);
        }
    }
}

} // namespace
} // namespace korvana::test
