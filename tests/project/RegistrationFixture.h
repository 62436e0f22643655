#pragma once

#include "platform/Paths.h"
#include "services/ConfigurationComponent.h"
#include "services/ResolveProjectFile.h"
#include "support/MemoryRegistry.h"
#include "support/ProjectDatabase.h"
#include "support/RegistrySnapshot.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace korvana::test {

// Project folders in a scratch folder, an in-memory registry and scripted
// messages: what registration, lookup and the recent list work with.
class RegistrationFixture : public testing::Test {
  protected:
    // A project file in `folder` whose settings say what registration copies.
    std::string makeProject(const std::string& folder, const std::string& name,
                            const std::string& type = "Single",
                            const std::string& version = "4.05.000") {
        const auto dir = scratch / folder;
        std::filesystem::create_directories(dir);
        const auto file = dir / (name + ".kvs");
        makeProjectDatabase(file);
        ConfigurationComponent writer(registry);
        const auto handle = writer.OpenProject(file.string());
        writer.SetValue(handle, "Global", "ProjectType", SettingValue{type});
        writer.SetValue(handle, "Global", "KorvanaVersion", SettingValue{version});
        writer.CloseProject(handle);
        return dir.string();
    }

    static void makeReadOnly(const std::filesystem::path& file) { ::chmod(file.c_str(), 0444); }
    static bool ownerMayWrite(const std::filesystem::path& file) {
        struct stat status {};
        return ::stat(file.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) != 0;
    }

    std::string registered(const std::string& name, const std::string& value) const {
        return registry.readString(Hive::LocalMachine, std::string(keys::projects) + "\\" + name,
                                   value);
    }
    bool isRegistered(const std::string& name) const {
        return registry.keyExists(Hive::LocalMachine, std::string(keys::projects) + "\\" + name);
    }
    void registerRaw(const std::string& name, const std::string& path, const std::string& type) {
        const std::string key = std::string(keys::projects) + "\\" + name;
        registry.writeString(Hive::LocalMachine, key, "Path", path);
        registry.writeString(Hive::LocalMachine, key, "ProjectType", type);
    }

    std::vector<std::string> shownTexts() const {
        std::vector<std::string> shown;
        for (const auto& message : messages.shown()) {
            shown.push_back(message.text);
        }
        return shown;
    }

    ScratchDir scratch;
    MemoryRegistry registry;
    ScriptedMessageService messages;
    TextService texts;
};

} // namespace korvana::test
