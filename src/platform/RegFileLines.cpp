#include "platform/RegFileLines.h"

#include <algorithm>
#include <cstring>

namespace korvana {

bool RegFileLines::next(std::string_view& line) {
    if (pos_ >= text_.size()) {
        return false;
    }
    if (!feedKnown_ || nextFeed_ < pos_) {
        const auto feed = text_.find('\n', pos_);
        nextFeed_ = feed == std::string_view::npos ? text_.size() : feed;
        feedKnown_ = true;
    }
    const char* begin = text_.data() + pos_;
    std::size_t length = nextFeed_ - pos_;
    std::size_t advance = length + (nextFeed_ < text_.size() ? 1 : 0);
    if (const void* cr = std::memchr(begin, '\r', length)) {
        length = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
        // CR LF is one line end; a CR elsewhere ends the line by itself.
        advance = length + 1 == nextFeed_ - pos_ ? length + 2 : length + 1;
        advance = std::min(advance, text_.size() - pos_);
    }
    line = std::string_view(begin, length);
    previousPos_ = pos_;
    pos_ += advance;
    ++number_;
    return true;
}

void RegFileLines::unread() {
    pos_ = previousPos_;
    --number_;
}

std::size_t RegFileLines::count(std::string_view text) {
    RegFileLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
    }
    return lines.number();
}

} // namespace korvana
