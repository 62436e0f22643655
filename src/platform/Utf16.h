#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// The registry stores text as UTF-16 little-endian; regedit files show such
// text as hex(1)/hex(2) bytes and may themselves be UTF-16 encoded.

// Nothing when the bytes are not well-formed UTF-16 (odd length, lone surrogate).
std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian = false);
// The text as UTF-16LE code units followed by the terminating zero, as Windows
// stores a string value. Expects valid UTF-8.
std::vector<std::uint8_t> utf8ToUtf16leWithTerminator(std::string_view text);

} // namespace korvana
