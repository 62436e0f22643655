#pragma once

#include <cstddef>
#include <string_view>

namespace korvana {

// The lines of a regedit file's text, each without its line end. CR LF, LF and
// a CR alone all end a line, as regedit takes them: files from old Macintosh
// editors and from Windows mix them.
class RegFileLines {
  public:
    explicit RegFileLines(std::string_view text) : text_(text) {}

    bool next(std::string_view& line);
    // Steps back over the line read last, so that it is read again.
    void unread();
    // 1-based number of the line read last.
    std::size_t number() const { return number_; }

    static std::size_t count(std::string_view text);

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t previousPos_ = 0;
    std::size_t number_ = 0;
    // Where the next line feed is, found once for all the lines before it:
    // searching again for every line of a file of CRs alone would take time
    // growing with the square of its size.
    std::size_t nextFeed_ = 0;
    bool feedKnown_ = false;
};

} // namespace korvana
