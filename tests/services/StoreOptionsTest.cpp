#include "services/StoreOptions.h"

#include "platform/Error.h"
#include "support/ConfinedFiles.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"
#include "text/Messages.h"
#include "text/ScriptedMessageService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace korvana {

// Readable outcomes in failure messages.
void PrintTo(OptionsOutcome outcome, std::ostream* out) {
    constexpr const char* names[] = {"Stored", "ReviseProjectsFolder", "ReviseTemplatesFolder"};
    *out << names[static_cast<int>(outcome)];
}

namespace {

using enum OptionsOutcome;

constexpr Hive user = Hive::CurrentUser;
constexpr const char* ownProjects = "/Own/Projects";
constexpr const char* ownTemplates = "/Own/Templates";
constexpr const char* none = "(none)";
constexpr int noMessage = 0;

// A user hive that cannot take one of the two folder values.
class FailingRegistry : public test::MemoryRegistry {
  public:
    std::string failingValue;

    void setValue(Hive hive, std::string_view key, std::string_view name,
                  const RegistryValue& value) override {
        if (name == failingValue) {
            throw Error("the hive HKEY_CURRENT_USER is damaged", 75);
        }
        MemoryRegistry::setValue(hive, key, name, value);
    }
};

// Every folder lies below the scratch folder, which plays the root. The
// installation folder is stored Windows-style, as the installation writes it.
class StoreOptionsTest : public ::testing::Test {
  protected:
    StoreOptionsTest() { restart(); }

    void restart() {
        registry.deleteKey(user, keys::user);
        messages = ScriptedMessageService{};
        settings = {};
        settings.installationFolder = "\\Korvana";
        settings.ownProjectsFolder = "/Before/Projects";
        settings.ownTemplatesFolder = "/Before/Templates";
    }

    OptionsOutcome store(const std::string& projects, const std::string& templates,
                         bool keepInterface = false) {
        return StoreOptions({projects, templates, keepInterface},
                            {registry, files, messages, texts, settings});
    }

    std::string stored(std::string_view valueName) const {
        return registry.readString(user, keys::user, valueName, none);
    }

    // The one message shown, or "" when there was none.
    std::string shownText() const {
        EXPECT_LE(messages.shown().size(), 1u);
        return messages.shown().empty() ? "" : messages.shown().back().text;
    }
    std::string text(int id) const { return id == noMessage ? "" : texts.LoadText(TextId{id}); }

    test::ScratchDir scratch;
    test::ConfinedFiles files{scratch.path()};
    FailingRegistry registry;
    ScriptedMessageService messages;
    TextService texts{Lcid{1033}};
    InstallationSettings settings;
};

struct FolderCase {
    const char* folder;
    OptionsOutcome outcome;
    int message;
};

TEST_F(StoreOptionsTest, ProjectsFolderIsCheckedAgainstTheInstallationFolder) {
    const FolderCase cases[] = {
        {"/Korvana/Projects", Stored, 592},
        {"\\KORVANA\\Mine", Stored, 592},
        {"/Korvana", ReviseProjectsFolder, 593},
        {"/KORVANA", ReviseProjectsFolder, 593},
        {"/korvana/", ReviseProjectsFolder, 593},
        {"/KorvanaProjects", Stored, noMessage}, // a sibling with a longer name
        // The installation's name further along, with a separator where the
        // installation folder's length ends: outside, so no hint.
        {"/Archive/Korvana", Stored, noMessage},
        {ownProjects, Stored, noMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        restart();
        EXPECT_EQ(store(c.folder, ownTemplates), c.outcome);
        EXPECT_EQ(shownText(), text(c.message));
        const bool accepted = c.outcome == Stored;
        EXPECT_EQ(stored("DefaultProjectsPath"), accepted ? c.folder : none);
        EXPECT_EQ(settings.ownProjectsFolder, accepted ? c.folder : "/Before/Projects");
        EXPECT_EQ(stored("TemplatesPath"), accepted ? ownTemplates : none);
    }
}

TEST_F(StoreOptionsTest, TemplatesFolderIsKeptApartFromTheInstalledTemplates) {
    const FolderCase cases[] = {
        {"/korvana", ReviseTemplatesFolder, 591},
        {"/Korvana/Templates", ReviseTemplatesFolder, 591},
        {"\\korvana\\TEMPLATES\\", ReviseTemplatesFolder, 591},
        {"/Korvana/Templates/Mine", ReviseTemplatesFolder, 591},
        {"/Korvana/Own", Stored, 594},
        {"/Korvana/Templates Mine", Stored, 594},
        {"/KorvanaTemplates", Stored, noMessage},
        // Holds "\Korvana\Templates" with a separator where its length ends,
        // but lies outside the installation.
        {"/Archive12/Korvana/Templates", Stored, noMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        restart();
        EXPECT_EQ(store(ownProjects, c.folder), c.outcome);
        EXPECT_EQ(shownText(), text(c.message));
        const bool accepted = c.outcome == Stored;
        EXPECT_EQ(stored("TemplatesPath"), accepted ? c.folder : none);
        EXPECT_EQ(settings.ownTemplatesFolder, accepted ? c.folder : "/Before/Templates");
        // The projects folder was stored before the templates folder was looked at.
        EXPECT_EQ(stored("DefaultProjectsPath"), ownProjects);
        EXPECT_EQ(settings.ownProjectsFolder, ownProjects);
    }
}

TEST_F(StoreOptionsTest, MissingFoldersAreCreatedWithTheirParents) {
    EXPECT_EQ(store("/New/Deep/Projects", "\\New\\Deep\\Templates"), Stored);
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "New/Deep/Projects"));
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "New/Deep/Templates"));
}

TEST_F(StoreOptionsTest, FolderThatCannotBeCreatedIsRefusedAndNotStored) {
    test::writeFile(scratch / "plain.txt", "a file, not a folder");
    const std::string uncreatable = "/plain.txt/Folder";
    struct Case {
        std::string projects, templates;
        OptionsOutcome outcome;
        std::string title, projectsStored;
    };
    const Case cases[] = {
        {uncreatable, ownTemplates, ReviseProjectsFolder, texts.LoadText(TextId{90}, {590}), none},
        {ownProjects, uncreatable, ReviseTemplatesFolder, std::string(applicationTitle),
         ownProjects},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.projects);
        restart();
        settings.keepInterface = true;
        EXPECT_EQ(store(c.projects, c.templates), c.outcome);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, c.title);
        EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{590}, {uncreatable}));
        EXPECT_EQ(messages.shown()[0].style, MessageStyle::exclamation());
        EXPECT_EQ(stored("DefaultProjectsPath"), c.projectsStored);
        EXPECT_EQ(stored("TemplatesPath"), none);
        EXPECT_EQ(settings.ownTemplatesFolder, "/Before/Templates");
        EXPECT_TRUE(settings.keepInterface);
    }
}

TEST_F(StoreOptionsTest, FailedRegistryWriteIsReportedAndNotTakenOver) {
    struct Case {
        const char* failingValue;
        OptionsOutcome outcome;
        const char* projectsAfter;
    };
    const Case cases[] = {
        {"DefaultProjectsPath", ReviseProjectsFolder, "/Before/Projects"},
        {"TemplatesPath", ReviseTemplatesFolder, ownProjects},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingValue);
        restart();
        registry.failingValue = c.failingValue;
        EXPECT_EQ(store(ownProjects, ownTemplates, true), c.outcome);
        EXPECT_EQ(messages.shown().at(0).title, applicationTitle);
        EXPECT_NE(shownText().find("is damaged"), std::string::npos) << shownText();
        EXPECT_EQ(settings.ownProjectsFolder, c.projectsAfter);
        EXPECT_EQ(settings.ownTemplatesFolder, "/Before/Templates");
        EXPECT_FALSE(settings.keepInterface);
    }
}

TEST_F(StoreOptionsTest, KeepInterfaceFlagFollowsTheBoxOnlyWhenEverythingWasStored) {
    struct Case {
        bool before, checked;
        const char* templates;
        bool after;
    };
    const Case cases[] = {
        {false, true, ownTemplates, true},
        {true, false, ownTemplates, false},
        {false, true, "/Korvana/Templates", false},
        {true, false, "/Korvana/Templates", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.templates) + (c.checked ? ", checked" : ", unchecked"));
        settings.keepInterface = c.before;
        store(ownProjects, c.templates, c.checked);
        EXPECT_EQ(settings.keepInterface, c.after);
    }
}

} // namespace
} // namespace korvana
