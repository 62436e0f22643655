#pragma once

#include "platform/Registry.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace korvana {

// The folder that holds what Windows keeps in the registry and in the Windows
// folder:
//   <root>/registry/HKEY_LOCAL_MACHINE.reg, <root>/registry/HKEY_CURRENT_USER.reg
//   <root>/windows/
// It is $KORVANA_ROOT when set, else ${XDG_DATA_HOME:-$HOME/.local/share}/korvana-studio.
class SystemRoot {
  public:
    // What the root depends on outside the program, injected so that tests
    // never look at the real home folder.
    struct Environment {
        // An environment variable; nothing when unset.
        std::function<std::optional<std::string>(const std::string&)> variable;
        // The desktop's documents folder (`xdg-user-dir DOCUMENTS`); nothing
        // when it cannot be told.
        std::function<std::optional<std::string>()> documentsFolder;
    };

    // The process environment and the xdg-user-dir tool.
    static Environment processEnvironment();

    // Where the root is; korvana::Error when neither KORVANA_ROOT nor a home is known.
    static std::filesystem::path locate(const Environment& environment);

    // Locates the root and makes it ready: creates registry/ and windows/ and,
    // when the user hive does not exist yet, seeds what Windows always has
    // there (the documents folder as "Personal" under the shell folders key).
    static SystemRoot open(const Environment& environment);

    // A root at a known folder, as it is (nothing created).
    explicit SystemRoot(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path registryFolder() const { return folder_ / "registry"; }
    std::filesystem::path hiveFile(Hive hive) const;
    std::filesystem::path windowsFolder() const { return folder_ / "windows"; }

    static constexpr const char* shellFoldersKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

  private:
    std::filesystem::path folder_;
};

} // namespace korvana
