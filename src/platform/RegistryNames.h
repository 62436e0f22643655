#pragma once

#include <cstddef>
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
// A hash of the folded name, equal for names that sameRegistryName matches;
// for a lookup, so made without an allocation for most names.
std::size_t foldedRegistryNameHash(std::string_view name);

bool isValidUtf8(std::string_view text);

// Splits a key path below a hive ("Software\\ARVENTIK GmbH") into its names.
// The empty path is the hive itself. A path with an empty part ("A\\\\B",
// "A\\", "\\A") is refused with korvana::Error: on Windows it would silently
// name another key. "." and ".." are ordinary names.
std::vector<std::string_view> splitKeyPath(std::string_view path);

// Windows holds keys at most 512 levels below the hive. Deeper keys are
// refused rather than kept: no Windows registry could take them, and as every
// key's section names its whole path, a hive file grows with the square of
// its depth (a 54 KB file with one key 27,000 levels deep would be written
// back as 730 MB).
inline constexpr std::size_t maxKeyDepth = 512;
// Raises korvana::Error for a key `depth` names below its hive.
void checkKeyDepth(std::size_t depth);

// Refuse names the hive file could not hold faithfully: not UTF-8, or with
// control characters (a line break would end the line in the file; a tab
// is allowed, as regedit takes it as part of a name).
void checkKeyName(std::string_view name);
void checkValueName(std::string_view name);

} // namespace korvana
