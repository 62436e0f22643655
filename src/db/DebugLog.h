#pragma once

#include <string_view>

namespace korvana::db {

// Where the engine's helpers note what they passed over. The upgrade steps
// report nothing to the user, so this log is the only trace of a skipped
// operation.
class DebugLog {
  public:
    virtual ~DebugLog() = default;
    virtual void write(std::string_view line) = 0;
};

} // namespace korvana::db
