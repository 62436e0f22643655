#include "text/FilterKey.h"

#include "text/Utf8.h"

#include <algorithm>
#include <optional>

namespace korvana {

namespace {

constexpr std::string_view digits = "0123456789";
constexpr std::string_view maskCharacters = "?*9h&#abcdp";
constexpr std::string_view identifierCharacters = "abcdefghijklmnopqrstuvwxyz_0123456789";

char32_t asciiLower(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
}

// Characters and mask letters are compared without regard to case. The sets
// are all ASCII: a character outside ASCII is in none of them, so it passes
// the masks that only exclude characters and fails those that list them.
bool inSet(char32_t c, std::string_view set) {
    return c < 0x80 && set.find(static_cast<char>(asciiLower(c))) != std::string_view::npos;
}

// The mask character for the caret position; nullopt when typing is past the
// end of the mask. Every mask character with a meaning is ASCII, so any other
// character is reported as U+FFFD, which refuses everything.
std::optional<char32_t> maskCharacterAt(std::string_view mask, std::size_t caret) {
    const auto starts = utf8::characterStarts(mask);
    std::size_t index = 0;
    if (starts.size() != 1) {
        if (caret >= starts.size()) {
            return std::nullopt;
        }
        index = caret;
    }
    const auto byte = static_cast<unsigned char>(mask[starts[index]]);
    return byte < 0x80 ? char32_t{byte} : U'\uFFFD';
}

bool allowed(char32_t maskCharacter, char32_t c, std::string_view text) {
    switch (asciiLower(maskCharacter)) {
    case U'?':
        return !inSet(c, "\"#");
    case U'*':
        return !inSet(c, " \"#");
    case U'9':
        return inSet(c, digits);
    case U'h':
        return inSet(c, "0123456789abcdef");
    case U'&':
        return inSet(c, "+-0123456789");
    case U'#':
        return inSet(c, "+-0123456789.e");
    case U'a':
        return inSet(c, identifierCharacters);
    case U'b':
        return inSet(c, identifierCharacters) || c == U'*';
    case U'c':
        return inSet(c, identifierCharacters) || c == U'.';
    case U'd':
        return !inSet(c, "\\/:*?\"<>| ");
    case U'p':
        if (c == U':') {
            return text.find(':') == std::string_view::npos;
        }
        return !inSet(c, "/*?<>|\" ");
    default:
        return false;
    }
}

} // namespace

bool isKnownMask(std::string_view mask) {
    return !mask.empty() && std::all_of(mask.begin(), mask.end(), [](char c) {
        return inSet(static_cast<unsigned char>(c), maskCharacters);
    });
}

KeyCode FilterKey(KeyCode key, std::string_view text, std::size_t caret, std::string_view mask) {
    if (key == backspaceKey) {
        return key;
    }
    const auto maskCharacter = maskCharacterAt(mask, caret);
    if (!maskCharacter) {
        return 0;
    }
    return allowed(*maskCharacter, key, text) ? key : KeyCode{0};
}

} // namespace korvana
