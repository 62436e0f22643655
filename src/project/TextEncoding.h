#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// The two encodings of the text files a project is made of. The IDE writes its
// project, group and form files in the Windows code page 1252; files made with
// other editors may be UTF-8. Our own strings are always UTF-8.
enum class TextEncoding { Utf8, Windows1252 };

// How a file's text is to be read and written. UTF-8 when it starts with the
// UTF-8 byte-order mark, or when it holds bytes above 7F that all form valid
// UTF-8 (Windows-1252 text with accented letters practically never does).
// Otherwise Windows-1252, the IDE's own encoding: pure ASCII counts as an IDE
// file too, so a name with umlauts put into it is written the way the IDE reads it.
TextEncoding detectEncoding(std::string_view bytes);

// UTF-8 text in the given encoding; nothing when a character has no place in
// Windows-1252.
std::optional<std::string> encodeText(std::string_view utf8, TextEncoding encoding);

// Text of the given encoding as UTF-8.
std::string decodeText(std::string_view bytes, TextEncoding encoding);

} // namespace korvana
