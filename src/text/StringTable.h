#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace korvana {

// One numbered text: German texts at their number, English twins at number +
// 10000.
struct StringTableEntry {
    std::int32_t number = 0;
    std::string_view text;
};

// A read-only view of numbered texts, sorted by number. The program's own table
// is compiled in from strings.json; tests may build small tables of their own.
class StringTable {
  public:
    // `entries` must be sorted by number and outlive the table.
    explicit StringTable(std::span<const StringTableEntry> entries);

    // The table of the program.
    static StringTable builtIn();

    std::span<const StringTableEntry> entries() const { return entries_; }

    // The text with this number; empty when the table has none.
    std::string_view find(std::int64_t number) const;

  private:
    std::span<const StringTableEntry> entries_;
};

} // namespace korvana
