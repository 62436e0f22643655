#pragma once

#include "db/DebugLog.h"

#include <ostream>

namespace korvana::app {

// What the database check passed over, for the developer who asked for it
// with KORVANA_DEBUG_LOG; without that the lines go nowhere.
class StreamDebugLog : public db::DebugLog {
  public:
    explicit StreamDebugLog(std::ostream* stream) : stream_(stream) {}
    void write(std::string_view line) override {
        if (stream_ != nullptr) {
            *stream_ << "KorvanaStudio: " << line << '\n';
        }
    }

  private:
    std::ostream* stream_;
};

} // namespace korvana::app
