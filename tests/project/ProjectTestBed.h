#pragma once

#include "project/ProjectServices.h"
#include "services/ConfigurationComponent.h"
#include "support/MemoryRegistry.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvana::test {

// Registered projects in a scratch folder, the settings store over them and a
// read-only check that records what it was asked and answers as told.
class ProjectTestBed : public testing::Test {
  protected:
    static constexpr const char* projectsKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";

    void registerProject(const std::string& name, const std::filesystem::path& folder,
                         const std::string& type) {
        const std::string key = std::string(projectsKey) + "\\" + name;
        registry.writeString(Hive::LocalMachine, key, "Path", folder.string());
        registry.writeString(Hive::LocalMachine, key, "ProjectType", type);
    }

    // A project file holding the given "Global" strings and "KVPdb" (when >= 0).
    std::filesystem::path
    makeProject(const std::filesystem::path& folder, const std::string& name,
                const std::vector<std::pair<std::string, std::string>>& global, int kvPdb = -1) {
        std::filesystem::create_directories(folder);
        const auto file = folder / (name + ".kvs");
        makeProjectDatabase(file);
        const auto handle = settings.OpenProject(file.string());
        for (const auto& [key, value] : global) {
            settings.SetValue(handle, "Global", key, value);
        }
        if (kvPdb >= 0) {
            settings.SetValue(handle, "ServerComponents", "KVPdb",
                              static_cast<std::int16_t>(kvPdb));
        }
        settings.CloseProject(handle);
        return file;
    }

    // A registered project with a designer, as creation leaves it.
    std::filesystem::path makeRegisteredProject(const std::string& name,
                                                const std::string& type = "Single") {
        const auto folder = scratch / name;
        registerProject(name, folder, type);
        return makeProject(folder, name,
                           {{"Designer", "Visual Basic 6.0"}, {"DesignerProject", name + ".vbp"}},
                           1);
    }

    // A Visual Basic project file written on Windows, linked to `linkedName`
    // (no link when empty).
    void writeVbProject(const std::filesystem::path& file, const std::string& linkedName) {
        std::filesystem::create_directories(file.parent_path());
        std::string text = "Type=Exe\r\nName=\"Demo\"\r\n";
        if (!linkedName.empty()) {
            text += "[Korvana4]\r\nProjectName=" + linkedName + "\r\n";
        }
        writeFile(file, text);
    }

    ScratchDir scratch;
    MemoryRegistry registry;
    ConfigurationComponent settings{registry};
    std::vector<std::string> readOnlyChecks;
    bool readOnlyAnswer = true;
    std::vector<std::string> passedOver;
    ProjectServices services{registry, settings,
                             [this](std::string_view file) {
                                 readOnlyChecks.emplace_back(file);
                                 return readOnlyAnswer && std::filesystem::exists(file);
                             },
                             [this](std::string_view group, std::string_view entry) {
                                 passedOver.push_back(std::string(group) + ": " +
                                                      std::string(entry));
                             }};
};

} // namespace korvana::test
