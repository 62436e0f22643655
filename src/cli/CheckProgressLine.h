#pragma once

#include "dbupgrade/CheckProgress.h"
#include "text/TextService.h"

#include <cstddef>
#include <ostream>

namespace korvana::cli {

// The progress of a database check on stderr: "Step 3 of 27: 4.01.004 – ...".
// On a terminal one line is rewritten in place (cut to the terminal's width,
// since a wrapped line could not be rewritten); elsewhere, a log or a pipe,
// each stage gets a line of its own, so that every stage stays readable.
class CheckProgressLine {
  public:
    // `width`: the terminal's columns when `inPlace`.
    CheckProgressLine(std::ostream& stream, const TextService& texts, bool inPlace,
                      std::size_t width);

    void show(const dbupgrade::CheckProgress& progress);
    // Clears a line shown in place, so that another message can take its
    // place; the next stage draws it again.
    void clear();

  private:
    std::ostream& stream_;
    const TextService& texts_;
    bool inPlace_;
    std::size_t width_;
    bool shown_ = false;
};

// Whether stderr is a terminal, and its width (80 when it does not say).
bool errorsGoToTerminal();
std::size_t terminalWidth();

} // namespace korvana::cli
