#pragma once

#include "text/TextService.h"

#include <string>

namespace korvana {

// The value right-aligned in a field of `width` characters: the last `width`
// characters of `width` spaces followed by the value's text, so a longer value
// is cut on the left. A width below 1 gives an empty text.
std::string PadLeft(const TextArgument& value, int width);

} // namespace korvana
