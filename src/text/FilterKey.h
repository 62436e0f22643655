#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvana {

// A typed character as a key-press handler sees it (a 16-bit character code).
using KeyCode = std::uint16_t;

inline constexpr KeyCode backspaceKey = 8;

// The input mask of a masked text box: returns `key` when the character may be
// typed at `caret` (0-based character position) into a box holding `text`, and
// 0 to swallow it. A one-character mask applies to every position; a longer one
// gives the mask character for each position and refuses typing past its end.
// Backspace always passes.
//
// Mask characters: "?" anything but '"' and '#'; "*" as "?" and no space; "9"
// digits; "h" hexadecimal digits; "&" digits and signs; "#" digits, signs, '.'
// and 'e'; "a" letters, digits and '_'; "b" as "a" and '*'; "c" as "a" and '.';
// "d" a file-name character; "p" a path character (one colon at most). Any other
// mask character refuses everything.
KeyCode FilterKey(KeyCode key, std::string_view text, std::size_t caret, std::string_view mask);

// Whether every character of a mask has a meaning. FilterKey quietly refuses
// all typing under an unknown mask character; forms check their masks with
// this so that a typo in a mask shows up as an error, not as a dead text box.
bool isKnownMask(std::string_view mask);

} // namespace korvana
