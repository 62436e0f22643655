#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// An INI-style file (Visual Basic project and group files, template
// descriptions, the IDE's add-in list) read and changed the way Windows'
// profile functions do: sections and keys match without regard to case, values
// are trimmed and lose one pair of enclosing quotes, the first match wins, and a
// missing file, section or key gives the default.
//
// Files such as the add-in list are shared with other programs, so a change
// touches only the one line concerned: every other byte (line endings,
// comments, blank lines, spacing, a byte-order mark, keys the reader ignores)
// stays as it was. A file that is not text is refused and never written: text
// is UTF-8 or Windows-1252 without control characters but tab, line breaks and
// form feed (the exact rule is in IniFile.cpp).
class IniFile {
  public:
    // The file's content; a missing file is an empty document that save()
    // creates. The path may be stored text with either separator; a Windows
    // drive path reads as a missing file and cannot be saved. Raises korvana::Error, naming the
    // file, when it cannot be read or is not a text file.
    static IniFile load(const std::filesystem::path& file);

    // A document held in memory, saved to `file`. Raises korvana::Error when
    // the text is not text.
    IniFile(std::filesystem::path file, std::string text);

    const std::filesystem::path& path() const { return path_; }
    const std::string& text() const { return text_; }

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string read(std::string_view section, std::string_view key,
                     std::string_view defaultValue = {}) const;

    // Raises korvana::Error for names that could not be read back as written
    // (empty, blanks at either end, "=" in a key, "]" in a section) and for a
    // name or value holding a line break or a control character other than tab
    // and form feed. set() checks the same; callers check first to tell bad
    // input from a file that cannot be changed.
    static void checkEntry(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the value of the first matching key, or appends the key at the end
    // of the first matching section, or appends the section at the end of the
    // file. An entry that checkEntry refuses raises korvana::Error, and so does
    // a change that would make the file no text; the text then stays as it
    // was. True when the text changed.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // Removes every line of the key in every section of that name, so that a
    // later read gives the default. True when something was removed; a removal
    // that would leave no text raises korvana::Error and changes nothing.
    bool remove(std::string_view section, std::string_view key);

    // Writes the text to a temporary file beside the file and renames it into
    // place, so that a reader sees either the old or the new file. A read-only
    // file is refused. Raises korvana::Error naming the file on failure.
    void save() const;

    // One-shot forms of the above; writeKey and deleteKey save only when the
    // text changed.
    static std::string readKey(const std::filesystem::path& file, std::string_view section,
                               std::string_view key, std::string_view defaultValue = {});
    static void writeKey(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view value);
    static bool deleteKey(const std::filesystem::path& file, std::string_view section,
                          std::string_view key);

  private:
    enum class LineKind { Blank, Comment, Section, Key, Other };

    struct Line {
        std::size_t begin = 0;      // first byte of the line (after a byte-order mark)
        std::size_t contentEnd = 0; // before the line break
        std::size_t end = 0;        // after the line break
        LineKind kind = LineKind::Other;
        std::string_view name;      // section or key name, trimmed (inside text_)
        std::size_t valueBegin = 0; // trimmed value, quotes included
        std::size_t valueEnd = 0;
        // The section the line belongs to (a header belongs to itself).
        std::optional<std::string_view> section;

        bool isKey(std::string_view sectionName, std::string_view key) const;
    };

    bool change(std::string_view section, std::string_view key, std::string_view value);
    // Puts `before` back and raises korvana::Error when the text is no longer text.
    void keepText(std::string before, const std::string& change);
    // The line that starts at `position` (at most textEnd()), in `section`.
    Line lineAt(std::size_t position, std::optional<std::string_view> section) const;
    // Calls visit(line) for each line in order until it returns false. Lines
    // are read one at a time and not kept, so that memory stays that of the
    // text however many lines it has.
    template <typename Visit> void forEachLine(Visit visit) const;
    // Where the lines end: before an end-of-file mark, which stays last.
    std::size_t textEnd() const;
    std::string lineBreak() const;
    std::optional<Line> findKey(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::string text_;
};

} // namespace korvana
