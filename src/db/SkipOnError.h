#pragma once

#include "db/DebugLog.h"
#include "platform/Failure.h"

#include <string>
#include <string_view>
#include <utility>

namespace korvana::db {

// Runs the operations of one step the way the upgrade steps need it: an
// operation that fails is skipped, the step goes on, and the skip is written to
// the debug log with the failure's message.
class SkipOnError {
  public:
    SkipOnError(DebugLog& log, std::string context) : log_(log), context_(std::move(context)) {}

    // Runs `operation`; returns false (and logs) when it threw.
    template <typename Operation> bool operator()(std::string_view what, Operation&& operation) {
        if (auto failure = failureOf(std::forward<Operation>(operation))) {
            recordSkip(what, failure->description);
            return false;
        }
        return true;
    }

    int skipped() const { return skipped_; }

  private:
    void recordSkip(std::string_view what, std::string_view reason);

    DebugLog& log_;
    std::string context_;
    int skipped_ = 0;
};

} // namespace korvana::db
