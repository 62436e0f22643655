#include "cli/CheckProgressLine.h"

#include "dbupgrade/CheckProgressText.h"

#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace korvana::cli {

namespace {

// Back to the start of the line and everything after the cursor erased.
constexpr std::string_view eraseLine = "\r\033[K";

// The first `columns` characters of a UTF-8 text (one column each, which
// holds for the letters and dashes of the string table).
std::string cutToColumns(const std::string& text, std::size_t columns) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == columns) {
            return text.substr(0, i);
        }
    }
    return text;
}

} // namespace

CheckProgressLine::CheckProgressLine(std::ostream& stream, const TextService& texts, bool inPlace,
                                     std::size_t width)
    : stream_(stream), texts_(texts), inPlace_(inPlace), width_(width) {}

void CheckProgressLine::show(const dbupgrade::CheckProgress& progress) {
    const std::string line = dbupgrade::describePosition(texts_, progress) + ": " +
                             dbupgrade::describeStage(texts_, progress);
    if (!inPlace_) {
        stream_ << line << '\n' << std::flush;
        return;
    }
    // The last column stays free: writing into it moves some terminals on.
    stream_ << eraseLine << cutToColumns(line, width_ > 1 ? width_ - 1 : width_) << std::flush;
    shown_ = true;
}

void CheckProgressLine::clear() {
    if (shown_) {
        stream_ << eraseLine << std::flush;
        shown_ = false;
    }
}

bool errorsGoToTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

std::size_t terminalWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

} // namespace korvana::cli
