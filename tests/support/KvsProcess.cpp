#include "support/KvsProcess.h"

#include "support/ScratchDir.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>

extern char** environ;

namespace korvana::test {

namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

KvsRun runKvs(const std::filesystem::path& root, const std::vector<std::string>& arguments,
              const std::filesystem::path& input, const std::filesystem::path& errorFile) {
    std::string command = "KORVANA_ROOT=" + shellQuoted(root.string()) + " " +
                          shellQuoted(std::string(KORVANA_BIN_DIR) + "/kvs");
    for (const auto& argument : arguments) {
        command += " " + shellQuoted(argument);
    }
    command += " <" + (input.empty() ? std::string("/dev/null") : shellQuoted(input.string()));
    command +=
        " 2>" + (errorFile.empty() ? std::string("/dev/null") : shellQuoted(errorFile.string()));
    KvsRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), got);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!errorFile.empty()) {
        run.err = readFile(errorFile);
    }
    return run;
}

pid_t startKvs(const std::filesystem::path& root, const std::vector<std::string>& arguments,
               int errorFd) {
    const std::string kvs = std::string(KORVANA_BIN_DIR) + "/kvs";
    std::vector<std::string> environment{"KORVANA_ROOT=" + root.string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string_view(*entry).rfind("KORVANA_", 0) != 0) {
            environment.emplace_back(*entry);
        }
    }
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> command{kvs};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : command) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (errorFd < 0) {
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, errorFd, 2);
    }
    pid_t child = -1;
    const int rc = posix_spawn(&child, kvs.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? child : -1;
}

} // namespace korvana::test
