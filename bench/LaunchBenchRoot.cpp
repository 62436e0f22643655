#include "LaunchBenchRoot.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace korvana::bench {

namespace {

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

std::filesystem::path ownFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Fields 14 and 15 of /proc/<pid>/stat: the process's own user and system
// time in clock ticks. The process is a zombie by then, so it holds still.
double ownCpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it are plain.
    const auto afterName = text.rfind(')');
    if (afterName == std::string::npos) {
        throw std::runtime_error("cannot read the times of process " + std::to_string(pid));
    }
    std::istringstream fields(text.substr(afterName + 2));
    std::string field;
    double ticks = 0;
    // Field 3 (state) is the first after the name; utime is field 14.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14) {
            ticks += std::stod(field);
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

int runQuietly(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    std::vector<std::string> copy = command;
    for (auto& argument : copy) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

LaunchBenchRoot::LaunchBenchRoot() : binDir_(ownFolder()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvana-launch-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    folder_ = pattern;
    root_ = folder_ / "root";
    const int seeded =
        runQuietly({std::string(KORVANA_SOURCE_DIR) + "/scripts/seed-demo", root_.string(), "--kvs",
                    (binDir_ / "kvs").string(), "--standin", (binDir_ / "vb-standin").string()});
    if (seeded != 0) {
        throw std::runtime_error("scripts/seed-demo failed");
    }
    if (const char* set = std::getenv("QT_QPA_PLATFORM"); set && *set) {
        platform_ = set;
    } else if (const char* display = std::getenv("DISPLAY"); display && *display) {
        platform_ = "xcb";
    } else {
        platform_ = "offscreen";
    }
}

LaunchBenchRoot::~LaunchBenchRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::filesystem::path LaunchBenchRoot::program(const std::string& name) const {
    return binDir_ / name;
}

MeasuredRun LaunchBenchRoot::run(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::map<std::string, std::string>& environment,
                                 const std::filesystem::path& watched) const {
    std::map<std::string, std::string> variables = environment;
    variables.try_emplace("KORVANA_ROOT", root_.string());
    variables.try_emplace("QT_QPA_PLATFORM", platform_);
    variables.try_emplace("KORVANA_MESSAGES", "console");
    std::vector<std::string> texts;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        if (!variables.contains(text.substr(0, text.find('=')))) {
            texts.push_back(text);
        }
    }
    for (const auto& [name, value] : variables) {
        texts.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& text : texts) {
        envp.push_back(text.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> argumentTexts{this->program(program).string()};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : argumentTexts) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = file("runs.log").string();
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);

    MeasuredRun measured;
    pid_t pid = 0;
    measured.startNanoseconds = monotonicNanoseconds();
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    }
    // Wait without reaping, read the zombie's own times, then reap it.
    siginfo_t info{};
    if (watched.empty()) {
        waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    } else {
        for (;;) {
            info.si_pid = 0;
            waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | WNOHANG);
            if (info.si_pid == pid) {
                break;
            }
            if (!measured.cpuSecondsAtFile && std::filesystem::exists(watched)) {
                measured.wallSecondsAtFile =
                    static_cast<double>(monotonicNanoseconds() - measured.startNanoseconds) / 1e9;
                measured.cpuSecondsAtFile = ownCpuSeconds(pid);
            }
            usleep(20'000);
        }
    }
    measured.wallSeconds =
        static_cast<double>(monotonicNanoseconds() - measured.startNanoseconds) / 1e9;
    measured.ownCpuSeconds = ownCpuSeconds(pid);
    int status = 0;
    waitpid(pid, &status, 0);
    measured.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return measured;
}

std::optional<long long> LaunchBenchRoot::splashShown(const std::filesystem::path& trace) {
    std::ifstream in(trace);
    std::string event;
    long long nanoseconds = 0;
    while (in >> event >> nanoseconds) {
        if (event == "splash-shown") {
            return nanoseconds;
        }
    }
    return std::nullopt;
}

} // namespace korvana::bench
