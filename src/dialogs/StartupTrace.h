#pragma once

#include <filesystem>
#include <string_view>

namespace korvana::dialogs {

// A record of start-up moments for measuring the program from outside: each
// event appends one line "<event> <nanoseconds>" with the system's monotonic
// clock (CLOCK_MONOTONIC), comparable with the start time a measuring
// process takes. A trace without a file records nothing; a file that cannot
// be written is passed over, since the trace must never stop the program.
class StartupTrace {
  public:
    StartupTrace() = default;
    explicit StartupTrace(std::filesystem::path file) : file_(std::move(file)) {}

    bool enabled() const { return !file_.empty(); }
    void record(std::string_view event) const;

    // CLOCK_MONOTONIC now, in nanoseconds.
    static long long monotonicNanoseconds();

  private:
    std::filesystem::path file_;
};

} // namespace korvana::dialogs
