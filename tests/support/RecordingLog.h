#pragma once

#include "db/DebugLog.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana::test {

// Keeps what the engine or the check passed over, for tests to look at.
class RecordingLog : public db::DebugLog {
  public:
    void write(std::string_view line) override { lines.emplace_back(line); }
    bool mentions(std::string_view part) const {
        for (const auto& line : lines) {
            if (line.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> lines;
};

} // namespace korvana::test
