#pragma once

#include "db/Database.h"
#include "db/DebugLog.h"
#include "db/json/DatabaseJson.h"
#include "dbupgrade/CheckProjectDatabase.h"
#include "services/ConfigurationComponent.h"
#include "services/ResolveProjectFile.h"
#include "support/MemoryRegistry.h"
#include "support/RecordingLog.h"
#include "support/ScratchDir.h"
#include "text/TextService.h"

#include <filesystem>
#include <string>
#include <vector>

namespace korvana::test {

inline std::string fixtureText(const char* name) {
    return readFile(std::filesystem::path(KORVANA_SOURCE_DIR) / "tests/fixtures" / name);
}

// A registered project "Plant" in <scratch>/Projects/Plant and an installation
// whose template "Single2" holds the template fixture.
class CheckTestBed {
  public:
    CheckTestBed() {
        std::filesystem::create_directories(projectFile.parent_path());
        registry.setValue(Hive::LocalMachine, std::string(keys::projects) + "\\Plant", "Path",
                          RegistryValue::string(projectFile.parent_path().string()));
        std::filesystem::create_directories(templateFile.parent_path());
        db::json::createDatabaseFromJson(templateFile.string(),
                                         fixtureText("template-project.json"));
    }

    // The project made from the template fixture (every table of the current
    // layout), with the stored settings given.
    void makeProject(const std::string& dbVersion, const std::string& templateName = "Single2") {
        db::json::createDatabaseFromJson(projectFile.string(),
                                         fixtureText("template-project.json"));
        setSetting("DBVersion", dbVersion);
        setSetting("ProjectTemplate", templateName);
    }

    void setSetting(std::string_view key, const std::string& value) {
        const auto handle = configuration.OpenProject(projectFile.string());
        configuration.SetValue(handle, "Global", key, SettingValue{value});
        configuration.CloseProject(handle);
    }
    std::string setting(std::string_view key) {
        const auto handle = configuration.OpenProject(projectFile.string());
        auto value =
            settingText(configuration.GetValue(handle, "Global", key, SettingValue{std::string()}));
        configuration.CloseProject(handle);
        return value;
    }

    dbupgrade::CheckEnvironment environment(std::span<const dbupgrade::Rung> ladder) {
        dbupgrade::CheckEnvironment result{
            registry, texts,        configuration,
            log,      installation, [](std::string_view) { return true; },
            {},       ladder};
        return result;
    }

    ScratchDir scratch;
    std::filesystem::path projectFile = scratch / "Projects" / "Plant" / "Plant.kvs";
    std::filesystem::path installation = scratch / "Install";
    std::filesystem::path templateFile =
        installation / "Templates" / "Projects" / "Single2" / "%ProjectName%.kvs";
    MemoryRegistry registry;
    TextService texts;
    ConfigurationComponent configuration{registry};
    RecordingLog log;
};

} // namespace korvana::test
