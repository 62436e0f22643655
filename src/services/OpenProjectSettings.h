#pragma once

#include "services/ConfigurationComponent.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// A project opened in the settings store for one operation and closed again
// however the operation ends: no handle outlives the reader that needed it.
class OpenProjectSettings {
  public:
    // `nameOrPath` is a registered name or the path of a ".kvs" file. Raises
    // korvana::Error when the project cannot be opened.
    OpenProjectSettings(ConfigurationComponent& settings, std::string_view nameOrPath)
        : settings_(settings), handle_(settings.OpenProject(nameOrPath)) {}
    // A project file named by its path alone, whatever the name ends with.
    struct File {
        std::filesystem::path path;
    };
    OpenProjectSettings(ConfigurationComponent& settings, const File& file)
        : settings_(settings), handle_(settings.OpenProjectFile(file.path)) {}
    ~OpenProjectSettings() {
        try {
            settings_.CloseProject(handle_);
        } catch (...) {
            // The handle was ours; a failing close leaves nothing to undo.
        }
    }
    OpenProjectSettings(const OpenProjectSettings&) = delete;
    OpenProjectSettings& operator=(const OpenProjectSettings&) = delete;

    SettingValue value(std::string_view section, std::string_view key,
                       const SettingValue& defaultValue) {
        return settings_.GetValue(handle_, section, key, defaultValue);
    }
    // The value as the user reads it; empty when the key is missing.
    std::string text(std::string_view section, std::string_view key) {
        return settingText(value(section, key, std::string()));
    }
    std::vector<Setting> section(std::string_view name) {
        return settings_.GetSection(handle_, name);
    }
    void setText(std::string_view section, std::string_view key, const std::string& value) {
        settings_.SetValue(handle_, section, key, SettingValue{value});
    }

  private:
    ConfigurationComponent& settings_;
    ProjectHandle handle_;
};

} // namespace korvana
