#pragma once

#include "platform/Failure.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvana::ide {

// Runs the statements of a preparation that must go on when one of them fails
// (a locked project file must not keep the developer's toolbox from coming
// back). What failed is noted, so that it is not lost without a trace.
class PassOver {
  public:
    template <typename Statement> void run(std::string_view what, Statement&& statement) {
        if (auto failure = failureOf(std::forward<Statement>(statement))) {
            notes_.push_back(std::string(what) + ": " + failure->description);
        }
    }

    const std::vector<std::string>& notes() const { return notes_; }

  private:
    std::vector<std::string> notes_;
};

} // namespace korvana::ide
