#include "startup/LoadInstallationSettings.h"

#include "platform/Error.h"
#include "support/ConfinedFiles.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::ConfinedFiles;
using test::MemoryRegistry;
using test::ScratchDir;

constexpr Hive machine = Hive::LocalMachine;
constexpr Hive user = Hive::CurrentUser;

// A registry whose developer-side values fail to read or write, as a damaged
// or locked user hive would.
class FailingUserRegistry : public MemoryRegistry {
  public:
    bool failUserReads = false;
    bool failWrites = false;

    std::optional<RegistryValue> value(Hive hive, std::string_view key,
                                       std::string_view name) const override {
        if (failUserReads && hive == Hive::CurrentUser) {
            throw Error("user hive unreadable");
        }
        return MemoryRegistry::value(hive, key, name);
    }
    void setValue(Hive hive, std::string_view key, std::string_view name,
                  const RegistryValue& value) override {
        if (failWrites) {
            throw Error("user hive not writable");
        }
        MemoryRegistry::setValue(hive, key, name, value);
    }
};

class LoadInstallationSettingsTest : public ::testing::Test {
  protected:
    LoadInstallationSettingsTest() {
        // Every path below lies under the scratch folder, which plays the root.
        fs::create_directories(scratch / "Korvana");
        registry.writeString(machine, keys::installation, "Path", "/Korvana");
        registry.writeString(machine, keys::maker, "Common", "/Common");
        registry.writeString(machine, keys::installation, "Version", "4.05.000");
        registry.writeString(user, keys::shellFolders, "Personal", "/home/dev/Documents");
    }

    bool load() { return LoadInstallationSettings(registry, messages, files, settings); }

    fs::path real(std::string_view path) const { return files.confined(path); }

    std::optional<std::string> userValue(std::string_view name) const {
        const auto found = registry.MemoryRegistry::value(user, keys::user, name);
        if (!found) {
            return std::nullopt;
        }
        return std::get<std::string>(found->data);
    }

    ScratchDir scratch;
    FailingUserRegistry registry;
    ScriptedMessageService messages;
    ConfinedFiles files{scratch.path()};
    InstallationSettings settings;
};

TEST_F(LoadInstallationSettingsTest, ReadsEverySettingWithoutTouchingAnything) {
    fs::create_directories(scratch / "Own" / "Projects");
    registry.writeString(user, keys::user, "DefaultProjectsPath", "\\Own\\Projects");
    registry.writeString(user, keys::user, "TemplatesPath", "\\Own\\Templates");
    registry.writeNumber(machine, keys::installation, "LCID", 1033);

    ASSERT_TRUE(load());

    EXPECT_EQ(settings.language, Lcid{1033});
    EXPECT_EQ(settings.installationFolder, "/Korvana");
    EXPECT_EQ(settings.commonFolder, "/Common");
    EXPECT_EQ(settings.installedVersion, "4.05.000");
    // Stored text is kept as it is: other parts compare and display it.
    EXPECT_EQ(settings.ownProjectsFolder, "\\Own\\Projects");
    EXPECT_EQ(settings.ownTemplatesFolder, "\\Own\\Templates");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(files.createRequests.empty());
    EXPECT_EQ(userValue("DefaultProjectsPath"), "\\Own\\Projects");
}

TEST_F(LoadInstallationSettingsTest, UnregisteredInstallationFolderStopsWithText91) {
    registry.deleteValue(machine, keys::installation, "Path");

    EXPECT_FALSE(load());

    ASSERT_EQ(messages.shown().size(), 1u);
    const TextService german(Lcid{1031});
    EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio   (Meldung 91)");
    EXPECT_EQ(messages.shown()[0].text, german.LoadText(TextId{91}));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::critical());
    EXPECT_EQ(settings.installationFolder, "");
    // Nothing further is read.
    EXPECT_EQ(settings.commonFolder, "");
    EXPECT_EQ(settings.installedVersion, "");
    EXPECT_TRUE(files.createRequests.empty());
}

TEST_F(LoadInstallationSettingsTest, DeletedInstallationFolderIsNamedInBrackets) {
    fs::remove(scratch / "Korvana");

    EXPECT_FALSE(load());

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio   (Meldung 92)");
    EXPECT_NE(messages.shown()[0].text.find("Korvana-Verzeichnis [/Korvana] ist nicht"),
              std::string::npos)
        << messages.shown()[0].text;
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::critical());
    EXPECT_EQ(settings.installationFolder, "");
    EXPECT_FALSE(userValue("DefaultProjectsPath"));
}

TEST_F(LoadInstallationSettingsTest, InstallationFolderThatIsAFileCountsAsMissing) {
    fs::remove(scratch / "Korvana");
    test::writeFile(scratch / "Korvana", "not a folder");
    EXPECT_FALSE(load());
    EXPECT_EQ(messages.shown().at(0).title, "KorvanaStudio   (Meldung 92)");
}

struct LanguageCase {
    const char* name;
    std::optional<RegistryValue> lcid;
    std::int32_t language;
    const char* title;
};

class LanguageTest : public LoadInstallationSettingsTest,
                     public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageTest, LanguageIsReadBeforeTheFirstMessage) {
    if (GetParam().lcid) {
        registry.setValue(machine, keys::installation, "LCID", *GetParam().lcid);
    }
    fs::remove(scratch / "Korvana");

    EXPECT_FALSE(load());

    EXPECT_EQ(settings.language, Lcid{GetParam().language});
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Startup, LanguageTest,
    ::testing::Values(
        LanguageCase{"missingIsGerman", std::nullopt, 1031, "KorvanaStudio   (Meldung 92)"},
        LanguageCase{"english", RegistryValue::dword(1033), 1033, "KorvanaStudio   (Message 92)"},
        LanguageCase{"englishAsText", RegistryValue::string("1033"), 1033,
                     "KorvanaStudio   (Message 92)"},
        LanguageCase{"unreadableIsGerman", RegistryValue::string("English"), 1031,
                     "KorvanaStudio   (Meldung 92)"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(LoadInstallationSettingsTest, FirstRunCreatesAndRemembersOnlyTheProjectsFolder) {
    ASSERT_TRUE(load());

    EXPECT_EQ(settings.ownProjectsFolder, "/home/dev/Documents/KorvanaStudio/Projects");
    EXPECT_TRUE(fs::is_directory(scratch / "home/dev/Documents/KorvanaStudio/Projects"));
    EXPECT_EQ(userValue("DefaultProjectsPath"), "/home/dev/Documents/KorvanaStudio/Projects");

    EXPECT_EQ(settings.ownTemplatesFolder, "/home/dev/Documents/KorvanaStudio/Templates");
    EXPECT_FALSE(fs::exists(scratch / "home/dev/Documents/KorvanaStudio/Templates"));
    EXPECT_FALSE(userValue("TemplatesPath"));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(LoadInstallationSettingsTest, WithoutDocumentsFolderTheDefaultsAreRootRelative) {
    registry.deleteValue(user, keys::shellFolders, "Personal");
    const bool realRootHadIt = fs::exists("/KorvanaStudio");

    ASSERT_TRUE(load());

    EXPECT_EQ(settings.ownProjectsFolder, "/KorvanaStudio/Projects");
    EXPECT_EQ(settings.ownTemplatesFolder, "/KorvanaStudio/Templates");
    EXPECT_EQ(files.createRequests, std::vector<std::string>{"/KorvanaStudio/Projects"});
    EXPECT_TRUE(fs::is_directory(scratch / "KorvanaStudio" / "Projects"));
    EXPECT_EQ(userValue("DefaultProjectsPath"), "/KorvanaStudio/Projects");
    EXPECT_EQ(fs::exists("/KorvanaStudio"), realRootHadIt);
}

struct ProjectsFolderCase {
    const char* name;
    std::optional<std::string> stored; // DefaultProjectsPath before the start
    bool creationFails;
    const char* expectedFolder;
    std::optional<std::string> storedAfter;
};

class ProjectsFolderTest : public LoadInstallationSettingsTest,
                           public ::testing::WithParamInterface<ProjectsFolderCase> {};

TEST_P(ProjectsFolderTest, FolderThatCannotBeCreatedLeavesTheSettingEmpty) {
    const ProjectsFolderCase& c = GetParam();
    if (c.stored) {
        registry.writeString(user, keys::user, "DefaultProjectsPath", *c.stored);
    }
    files.failCreateFolder = c.creationFails;

    ASSERT_TRUE(load());

    EXPECT_EQ(settings.ownProjectsFolder, c.expectedFolder);
    EXPECT_EQ(userValue("DefaultProjectsPath"), c.storedAfter);
    EXPECT_TRUE(messages.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Startup, ProjectsFolderTest,
    ::testing::Values(ProjectsFolderCase{"driveThatDoesNotExist", "Q:\\Projects", false, "",
                                         "Q:\\Projects"},
                      ProjectsFolderCase{"storedFolderNotCreatable", "/Away/Projects", true, "",
                                         "/Away/Projects"},
                      ProjectsFolderCase{"storedFolderCreated", "\\New\\Projects", false,
                                         "\\New\\Projects", "\\New\\Projects"},
                      ProjectsFolderCase{"defaultNotCreatableIsNotRemembered", std::nullopt, true,
                                         "", std::nullopt},
                      ProjectsFolderCase{"emptyValueGetsTheDefault", "", false,
                                         "/home/dev/Documents/KorvanaStudio/Projects",
                                         "/home/dev/Documents/KorvanaStudio/Projects"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(LoadInstallationSettingsTest, FailingUserRegistryIsPassedOver) {
    registry.failUserReads = true;
    registry.failWrites = true;

    ASSERT_TRUE(load());

    // Nothing could be read from the developer's side: the defaults are
    // root-relative, and the folder is made even though it cannot be remembered.
    EXPECT_EQ(settings.ownProjectsFolder, "/KorvanaStudio/Projects");
    EXPECT_TRUE(fs::is_directory(scratch / "KorvanaStudio" / "Projects"));
    EXPECT_EQ(settings.ownTemplatesFolder, "/KorvanaStudio/Templates");
    EXPECT_EQ(settings.installedVersion, "4.05.000");
}

TEST_F(LoadInstallationSettingsTest, FailingInstallationValuesReachTheCaller) {
    class BrokenMachineRegistry : public MemoryRegistry {
      public:
        std::optional<RegistryValue> value(Hive, std::string_view,
                                           std::string_view) const override {
            throw Error("HKEY_LOCAL_MACHINE.reg line 3: cannot parse");
        }
    } broken;
    EXPECT_THROW(LoadInstallationSettings(broken, messages, files, settings), Error);
    EXPECT_TRUE(messages.shown().empty());
}

} // namespace
} // namespace korvana
