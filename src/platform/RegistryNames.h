#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// Key and value names compare as Windows compares them: without regard to case,
// for ASCII and for the rest of Unicode alike (simple case folding, so "Ä"
// matches "ä" but "ß" stays apart from "ss"). Bytes that are not valid UTF-8
// compare exactly.
std::string foldRegistryName(std::string_view name);
bool sameRegistryName(std::string_view a, std::string_view b);

bool isValidUtf8(std::string_view text);

// Splits a key path below a hive ("Software\\ARVENTIK GmbH") into its names.
// The empty path is the hive itself. A path with an empty part ("A\\\\B",
// "A\\", "\\A") is refused with korvana::Error: on Windows it would silently
// name another key. "." and ".." are ordinary names.
std::vector<std::string_view> splitKeyPath(std::string_view path);

// Refuse names the hive file could not hold faithfully: not UTF-8, or with
// control characters (a line break would end the line in the file).
void checkKeyName(std::string_view name);
void checkValueName(std::string_view name);

} // namespace korvana
