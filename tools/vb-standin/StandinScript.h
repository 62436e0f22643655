#pragma once

#include "HexBytes.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {
class Registry;
}

namespace korvana::standin {

// What the stand-in does instead of showing a window (VB_STANDIN_SCRIPT):
// semicolon-separated actions, run in order, for example
//   dock=0a0b0c;ui=ff00;sleep-ms=200;exit=0
// dock=, ui=, tool= take hex bytes that become the new binary value ("-"
// deletes the value); sleep-ms= is how long the IDE "runs"; exit= is the exit
// code (0 to 255) and, when given, the last action. Blanks around items are
// ignored, and so are empty items.
class StandinScript {
  public:
    struct Action {
        enum class Kind { WriteValue, DeleteValue, Sleep };
        Kind kind = Kind::Sleep;
        std::string valueName; // "Dock", "UI" or "Tool"
        Bytes bytes;
        std::chrono::milliseconds duration{0};

        bool operator==(const Action&) const = default;
    };

    // korvana::Error naming the faulty item when the text is not a script.
    static StandinScript parse(std::string_view text);

    // Runs the actions against the IDE settings of version 5 or 6 and gives
    // the exit code.
    int run(Registry& registry, int version) const;

    const std::vector<Action>& actions() const { return actions_; }
    int exitCode() const { return exitCode_; }

  private:
    std::vector<Action> actions_;
    int exitCode_ = 0;
};

} // namespace korvana::standin
