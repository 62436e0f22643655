#pragma once

#include "db/json/DatabaseJson.h"
#include "project/KVProject.h"
#include "project/ProjectCreation.h"
#include "services/ConfigurationComponent.h"
#include "support/MemoryRegistry.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace korvana::test {

// Templates made in a scratch folder, projects created beside them, with an
// in-memory registry, scripted messages and a clock that stands still.
class CreationFixture : public testing::Test {
  protected:
    static constexpr const char* projectsKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";

    std::filesystem::path templateFolder(const std::string& name = "Single") const {
        return scratch / "Templates" / name;
    }
    std::filesystem::path projectFolder(const std::string& name = "Plant") const {
        return scratch / "Projects" / name;
    }

    static void put(const std::filesystem::path& file, std::string_view content) {
        std::filesystem::create_directories(file.parent_path());
        writeFile(file, content);
    }

    // The template's project database as the installation brings it: the
    // language tables for German and English, and the server components.
    void putTemplateDatabase(const std::filesystem::path& folder) const {
        std::filesystem::create_directories(folder);
        db::json::createDatabaseFromJson((folder / "%ProjectName%.kvs").string(),
                                         readFile(std::filesystem::path(KORVANA_SOURCE_DIR) /
                                                  "tests/fixtures/template-project.json"));
    }

    // A project about to be created from `templ` into projectFolder(name).
    CKVProject newProject(const std::filesystem::path& templ,
                          ProjectType type = ProjectType::Single,
                          const std::string& name = "Plant") const {
        CKVProject project;
        project.ProjectName = name;
        project.Path = projectFolder(name).string();
        project.TemplatePath = templ.string();
        project.EProjectType = type;
        project.EProjectMainType = ProjectMainType::KV32;
        project.LCID = germanLanguage;
        project.LCIDs = {germanLanguage, englishLanguage};
        project.Designer = "Visual Basic 6.0";
        return project;
    }

    // Every path below `folder`, relative and sorted; links are not followed.
    static std::vector<std::string> tree(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            names.push_back(entry.path().lexically_relative(folder).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // How many messages of text `id` were shown, known by the text before its
    // first placeholder.
    int shownCount(int id) const {
        const std::string text = texts.LoadText(TextId{id}, {"\x01", "\x01", "\x01"});
        const std::string start = text.substr(0, text.find('\x01'));
        return static_cast<int>(
            std::count_if(messages.shown().begin(), messages.shown().end(),
                          [&](const Message& message) { return message.text.starts_with(start); }));
    }

    std::string registered(const std::string& name, const std::string& value) const {
        return registry.readString(Hive::LocalMachine, std::string(projectsKey) + "\\" + name,
                                   value);
    }

    SettingValue setting(const std::filesystem::path& file, const std::string& section,
                         const std::string& key) {
        const auto handle = settings.OpenProject(file.string());
        const auto value = settings.GetValue(handle, section, key, std::string("<missing>"));
        settings.CloseProject(handle);
        return value;
    }

    // A folder in which nothing can be created, for root too.
    std::filesystem::path unwritableFolder() const {
        if (::geteuid() == 0) {
            return "/proc/korvana-no-such-folder";
        }
        const auto folder = scratch / "locked";
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
        return folder;
    }

    ScratchDir scratch;
    MemoryRegistry registry;
    ConfigurationComponent settings{registry};
    ScriptedMessageService messages;
    TextService texts;
    SettingDate createdAt = makeSettingDate(2024, 3, 5, 14, 30, 7);
    ProjectCreation environment{registry, settings,   messages,
                                texts,    "4.05.002", [this] { return createdAt; }};
};

} // namespace korvana::test
