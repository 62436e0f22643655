#include "platform/SystemRoot.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/FileRegistry.h"
#include "platform/TextUtil.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvana {

namespace {

std::optional<std::string> nonEmpty(const SystemRoot::Environment& environment,
                                    const std::string& name) {
    auto value = environment.variable(name);
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

// Runs `xdg-user-dir DOCUMENTS` without a shell and returns its first line.
std::optional<std::string> askXdgUserDir() {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char program[] = "xdg-user-dir";
    char argument[] = "DOCUMENTS";
    char* argv[] = {program, argument, nullptr};
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::string output;
    if (spawned == 0) {
        char buffer[4096];
        ssize_t count = 0;
        while ((count = ::read(pipeFds[0], buffer, sizeof buffer)) > 0 ||
               (count < 0 && errno == EINTR)) {
            if (count > 0) {
                output.append(buffer, static_cast<size_t>(count));
            }
        }
    }
    ::close(pipeFds[0]);
    if (spawned != 0) {
        return std::nullopt;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    const std::string firstLine = output.substr(0, output.find('\n'));
    const auto line = trim(firstLine);
    return line.empty() ? std::nullopt : std::optional<std::string>(line);
}

// xdg-user-dir answers the home folder itself when no documents folder is
// configured; Windows always has a documents folder of its own, so take
// ~/Documents then.
std::filesystem::path normalFolder(const std::string& folder) {
    auto path = std::filesystem::path(folder).lexically_normal();
    if (!path.has_filename() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

std::optional<std::string> documentsFolder(const SystemRoot::Environment& environment) {
    const auto home = nonEmpty(environment, "HOME");
    if (environment.documentsFolder) {
        if (auto documents = environment.documentsFolder();
            documents && !documents->empty() &&
            (!home || normalFolder(*documents) != normalFolder(*home))) {
            return documents;
        }
    }
    if (home) {
        return (std::filesystem::path(*home) / "Documents").string();
    }
    return std::nullopt;
}

void createFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw Error("Cannot create the folder " + folder.string() + ": " + error.message(),
                    runtimeErrors::pathFileAccessError);
    }
}

} // namespace

SystemRoot::Environment SystemRoot::processEnvironment() {
    return {[](const std::string& name) -> std::optional<std::string> {
                const char* value = std::getenv(name.c_str());
                return value ? std::optional<std::string>(value) : std::nullopt;
            },
            askXdgUserDir};
}

std::filesystem::path SystemRoot::locate(const Environment& environment) {
    if (const auto root = nonEmpty(environment, "KORVANA_ROOT")) {
        return std::filesystem::absolute(*root).lexically_normal();
    }
    std::filesystem::path data;
    if (const auto xdg = nonEmpty(environment, "XDG_DATA_HOME")) {
        data = *xdg;
    } else if (const auto home = nonEmpty(environment, "HOME")) {
        data = std::filesystem::path(*home) / ".local" / "share";
    } else {
        throw Error("Cannot find the system root: neither KORVANA_ROOT nor HOME is set");
    }
    return (std::filesystem::absolute(data) / "korvana-studio").lexically_normal();
}

SystemRoot SystemRoot::open(const Environment& environment) {
    SystemRoot root(locate(environment));
    createFolder(root.registryFolder());
    createFolder(root.windowsFolder());
    if (!std::filesystem::exists(root.hiveFile(Hive::CurrentUser))) {
        if (const auto documents = documentsFolder(environment)) {
            FileRegistry registry(root.registryFolder());
            if (!registry.value(Hive::CurrentUser, shellFoldersKey, "Personal")) {
                registry.writeString(Hive::CurrentUser, shellFoldersKey, "Personal", *documents);
            }
        }
    }
    return root;
}

std::filesystem::path SystemRoot::hiveFile(Hive hive) const {
    return registryFolder() / (std::string(hiveName(hive)) + ".reg");
}

} // namespace korvana
