#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvana::bench {

// How one measured process went.
struct MeasuredRun {
    int exitCode = -1;
    long long startNanoseconds = 0; // CLOCK_MONOTONIC just before the start
    double wallSeconds = 0;
    // The process's own user and system time, not that of the programs it
    // started and waited for.
    double ownCpuSeconds = 0;
    // When a watched file appeared while the process ran: the wall and own
    // CPU time up to then.
    std::optional<double> wallSecondsAtFile;
    std::optional<double> cpuSecondsAtFile;
};

// A temporary system root holding the demo installation (scripts/seed-demo
// with the programs beside this benchmark), removed afterwards, and the
// means to run the programs on it.
class LaunchBenchRoot {
  public:
    LaunchBenchRoot();
    ~LaunchBenchRoot();
    LaunchBenchRoot(const LaunchBenchRoot&) = delete;
    LaunchBenchRoot& operator=(const LaunchBenchRoot&) = delete;

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path program(const std::string& name) const;
    std::filesystem::path file(const std::string& name) const { return folder_ / name; }

    // Runs a program from the bench's folder to its end on this root, with
    // the given environment variables added. With `watched`, the times up to
    // the moment that file appears are taken too (looked for every 20 ms).
    MeasuredRun run(const std::string& program, const std::vector<std::string>& arguments,
                    const std::map<std::string, std::string>& environment,
                    const std::filesystem::path& watched = {}) const;

    // The "splash-shown" time of a trace file; nothing when it is not there.
    static std::optional<long long> splashShown(const std::filesystem::path& trace);

    // The Qt platform the programs use: the one set, else xcb on a display,
    // else offscreen (which then is set for them).
    std::string platform() const { return platform_; }

  private:
    std::filesystem::path folder_;
    std::filesystem::path root_;
    std::filesystem::path binDir_;
    std::string platform_;
};

} // namespace korvana::bench
