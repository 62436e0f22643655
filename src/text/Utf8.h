#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace korvana::utf8 {

// Where each character of a UTF-8 text starts (byte offsets). A malformed
// sequence counts as a character of its own, so no byte is skipped.
std::vector<std::size_t> characterStarts(std::string_view text);

} // namespace korvana::utf8
