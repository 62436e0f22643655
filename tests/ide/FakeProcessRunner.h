#pragma once

#include "platform/Error.h"
#include "platform/Process.h"

#include <functional>
#include <optional>

namespace korvana::ide::test {

// Stands in for the IDE: records the command lines and the waits, runs
// `whileRunning` (what the IDE does to its settings) and ends on wait
// `endsOnWait`, or fails to start with `failure`.
class FakeProcessRunner : public ProcessRunner {
  public:
    std::unique_ptr<RunningProcess> start(std::string_view commandLine) override {
        commandLines.emplace_back(commandLine);
        if (failure) {
            throw Error(*failure, 2);
        }
        if (whileRunning) {
            whileRunning();
        }
        return std::make_unique<Process>(*this);
    }

    std::vector<std::string> commandLines;
    int endsOnWait = 1;
    std::vector<std::chrono::milliseconds> waits;
    std::optional<std::string> failure;
    std::function<void()> whileRunning;

  private:
    struct Process : RunningProcess {
        explicit Process(FakeProcessRunner& runner) : runner_(runner) {}
        bool waitFor(std::chrono::milliseconds timeout) override {
            runner_.waits.push_back(timeout);
            return static_cast<int>(runner_.waits.size()) >= runner_.endsOnWait;
        }
        std::optional<int> exitCode() const override { return 0; }
        FakeProcessRunner& runner_;
    };
};

} // namespace korvana::ide::test
