#pragma once

#include "db/DebugLog.h"

#include <exception>
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
        try {
            std::forward<Operation>(operation)();
            return true;
        } catch (const std::exception& error) {
            recordSkip(what, error.what());
            return false;
        }
    }

    int skipped() const { return skipped_; }

  private:
    void recordSkip(std::string_view what, std::string_view reason);

    DebugLog& log_;
    std::string context_;
    int skipped_ = 0;
};

} // namespace korvana::db
