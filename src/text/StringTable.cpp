#include "text/StringTable.h"

#include "platform/Error.h"

#include <algorithm>

namespace korvana {

namespace {

bool lessByNumber(const StringTableEntry& a, const StringTableEntry& b) {
    return a.number < b.number;
}

} // namespace

StringTable::StringTable(std::span<const StringTableEntry> entries) : entries_(entries) {
    // A binary search over an unsorted table would silently miss texts.
    if (std::adjacent_find(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
            return !lessByNumber(a, b);
        }) != entries_.end()) {
        throw Error("string table is not strictly sorted by number");
    }
}

std::string_view StringTable::find(std::int64_t number) const {
    const auto it = std::lower_bound(
        entries_.begin(), entries_.end(), number,
        [](const StringTableEntry& entry, std::int64_t wanted) { return entry.number < wanted; });
    if (it == entries_.end() || it->number != number) {
        return {};
    }
    return it->text;
}

} // namespace korvana
