#pragma once

#include "platform/Error.h"
#include "platform/Process.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvana::ide::test {

// Stands in for the IDE's process: records every command line, runs `whileRunning`
// (what the IDE would do to its settings) and ends after a number of waits.
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
    // The process ends on this wait (1: the first).
    int endsOnWait = 1;
    int waits = 0;
    std::vector<std::chrono::milliseconds> timeouts;
    std::optional<std::string> failure;
    std::function<void()> whileRunning;

  private:
    class Process : public RunningProcess {
      public:
        explicit Process(FakeProcessRunner& runner) : runner_(runner) {}
        bool waitFor(std::chrono::milliseconds timeout) override {
            runner_.timeouts.push_back(timeout);
            return ++runner_.waits >= runner_.endsOnWait;
        }
        std::optional<int> exitCode() const override {
            return runner_.waits >= runner_.endsOnWait ? std::optional<int>(0) : std::nullopt;
        }

      private:
        FakeProcessRunner& runner_;
    };
};

} // namespace korvana::ide::test
