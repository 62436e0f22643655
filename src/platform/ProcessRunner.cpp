#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/SpawnedProcess.h"

#include <cerrno>
#include <csignal>
#include <memory>
#include <spawn.h>
#include <system_error>
#include <unistd.h>

namespace korvana {

namespace {

// posix_spawn's attribute objects, released however the start ends.
class SpawnSettings {
  public:
    SpawnSettings() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        // Files the studio holds open (hive locks, databases) must not stay
        // open in the IDE, which outlives our interest in them.
        posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
#endif
        // The IDE starts with no blocked signals and default handling of all
        // of them, whatever the studio itself ignores or blocks.
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes_, &signals);
        sigfillset(&signals);
        sigdelset(&signals, SIGKILL);
        sigdelset(&signals, SIGSTOP);
        posix_spawnattr_setsigdefault(&attributes_, &signals);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSettings() {
        posix_spawnattr_destroy(&attributes_);
        posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    const posix_spawn_file_actions_t* actions() const {
        return &actions_;
    }
    const posix_spawnattr_t* attributes() const {
        return &attributes_;
    }

  private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

class SpawningProcessRunner : public ProcessRunner {
  public:
    std::unique_ptr<RunningProcess> start(std::string_view commandLine) override {
        const std::vector<std::string> arguments = splitWindowsCommandLine(commandLine);
        if (arguments.empty() || arguments.front().empty()) {
            throw Error("The command line names no program to start: " + std::string(commandLine),
                        5);
        }
        const std::string& program = arguments.front();
        if (paths::isWindowsDrivePath(program)) {
            throw Error("'" + program +
                            "' cannot be started: a Windows drive path names no file here",
                        runtimeErrors::fileNotFound);
        }
        const std::string executable = paths::toFileSystemPath(program).string();

        std::vector<std::string> texts = arguments;
        texts.front() = executable;
        std::vector<char*> argv;
        argv.reserve(texts.size() + 1);
        for (std::string& text : texts) {
            argv.push_back(text.data());
        }
        argv.push_back(nullptr);

        // A bare program name is looked up on the search path, as Windows
        // looks it up on its own.
        const bool bareName = executable.find('/') == std::string::npos;
        const SpawnSettings settings;
        pid_t pid = 0;
        const int failure = bareName ? posix_spawnp(&pid, executable.c_str(), settings.actions(),
                                                    settings.attributes(), argv.data(), environ)
                                     : posix_spawn(&pid, executable.c_str(), settings.actions(),
                                                   settings.attributes(), argv.data(), environ);
        if (failure != 0) {
            throw Error("'" + program +
                            "' cannot be started: " + std::system_category().message(failure),
                        failure == ENOENT ? runtimeErrors::fileNotFound
                                          : runtimeErrors::pathFileAccessError);
        }
        return std::make_unique<SpawnedProcess>(pid);
    }
};

} // namespace

std::unique_ptr<ProcessRunner> makeProcessRunner() {
    return std::make_unique<SpawningProcessRunner>();
}

} // namespace korvana
