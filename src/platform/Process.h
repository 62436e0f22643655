#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// A program the studio started and waits for (the Visual Basic IDE).
class RunningProcess {
  public:
    virtual ~RunningProcess() = default;

    // Waits at most `timeout` without using the processor. True once the
    // process has ended (and from then on at once).
    virtual bool waitFor(std::chrono::milliseconds timeout) = 0;

    // The exit status once the process has ended; nothing before, or when it
    // was ended by a signal.
    virtual std::optional<int> exitCode() const = 0;

    // A descriptor that becomes readable when the process ends, so that an
    // event loop can sleep until then instead of waking up to ask; -1 where
    // the system offers none. It stays owned by the process; `waitFor` still
    // has to be called to collect the end.
    virtual int endNotifier() const { return -1; }
};

// Starts programs from a Windows-style command line: the first argument names
// the executable, the arguments are split as Windows' own start-up code splits
// them (blanks separate, double quotes group, backslashes escape only before a
// quote). The program gets the studio's environment and current folder and
// inherits no other open files.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;

    // The running process, or korvana::Error naming the executable and the
    // system's reason when it cannot be started.
    virtual std::unique_ptr<RunningProcess> start(std::string_view commandLine) = 0;
};

// The arguments of a Windows command line, split as described above.
std::vector<std::string> splitWindowsCommandLine(std::string_view commandLine);

// The process runner of this system.
std::unique_ptr<ProcessRunner> makeProcessRunner();

} // namespace korvana
