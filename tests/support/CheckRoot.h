#pragma once

#include "db/json/DatabaseJson.h"
#include "platform/FileRegistry.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <string>

namespace korvana::test {

// A system root in which `kvs check Plant` can run as a whole process: an
// installation in <scratch>/Korvana whose template "Single2" holds the
// template fixture, and "Plant" registered in the folder of `projectFile`
// (which the caller makes).
inline void seedCheckRoot(const ScratchDir& scratch, const std::filesystem::path& root,
                          const std::filesystem::path& projectFile) {
    const std::string installationKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0";
    FileRegistry registry(root / "registry");
    const auto installation = scratch / "Korvana";
    registry.setValue(Hive::LocalMachine, installationKey, "Path",
                      RegistryValue::string(installation.string()));
    registry.setValue(Hive::LocalMachine, installationKey + "\\Projects\\Plant", "Path",
                      RegistryValue::string(projectFile.parent_path().string()));
    registry.setValue(Hive::CurrentUser, installationKey, "Version",
                      RegistryValue::string("4.05.002"));
    const auto templateFile = installation / "Templates/Projects/Single2/%ProjectName%.kvs";
    std::filesystem::create_directories(templateFile.parent_path());
    db::json::createDatabaseFromJson(templateFile.string(),
                                     readFile(std::filesystem::path(KORVANA_SOURCE_DIR) /
                                              "tests/fixtures/template-project.json"));
    std::filesystem::create_directories(projectFile.parent_path());
}

} // namespace korvana::test
