#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// ASCII case folding, as Windows compares registry and INI names. Non-ASCII
// bytes (UTF-8) compare exactly.
char asciiLower(char c);
std::string toLowerAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);

// Strips spaces, tabs, carriage returns and line feeds at both ends.
std::string_view trim(std::string_view text);

// The parts of a list separated by `separator`, exactly as written (blanks
// included); empty parts are left out.
std::vector<std::string> splitList(std::string_view text, char separator);

} // namespace korvana
