#include "text/TextService.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <optional>

namespace korvana {

namespace {

// Placeholder numbers beyond this cannot name an argument; stopping here keeps
// a long run of digits from overflowing.
constexpr std::size_t maxPlaceholderDigits = 9;

// The placeholder number is read like a number parser reads the text after
// the opening "@": its leading digits ("@1@" is 1, "@x@" is 0).
std::size_t placeholderNumber(std::string_view text) {
    std::size_t number = 0;
    for (std::size_t i = 0; i < text.size() && i < maxPlaceholderDigits; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    return number;
}

// What a backslash escape stands for; nullopt for a letter that is no escape.
std::optional<std::string_view> escapeValue(char letter) {
    switch (letter) {
    case '\\':
        return "\\";
    case '@':
        return "@";
    case 'n':
    case 'N':
        return "\n";
    case 't':
    case 'T':
        return "\t";
    default:
        return std::nullopt;
    }
}

// Resolves escapes and fills placeholders in one pass from left to right,
// writing the result afresh rather than replacing inside the text, so that the
// time grows with the length of the result, however many escapes and
// placeholders a text holds. What is inserted is not looked at again, so an
// argument that holds "@2@" or a backslash is shown as it is. All special
// characters are ASCII, so working on UTF-8 bytes never splits a character.
std::string expand(std::string_view text, std::span<const TextArgument> args) {
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto special = text.find_first_of("@\\", pos);
        result.append(text.substr(pos, special - pos));
        if (special == std::string_view::npos) {
            break;
        }
        if (text[special] == '\\') {
            const auto value =
                special + 1 < text.size() ? escapeValue(text[special + 1]) : std::nullopt;
            if (value) {
                result.append(*value);
                pos = special + 2;
            } else {
                // Not an escape (or a backslash at the very end): drop the
                // backslash, keep the character after it.
                pos = special + 1;
            }
            continue;
        }
        const auto closing = text.find('@', special + 1);
        if (closing == std::string_view::npos) {
            pos = special + 1; // a lone "@" is dropped
            continue;
        }
        const auto number = placeholderNumber(text.substr(special + 1));
        // A placeholder without a matching argument inserts nothing.
        if (number >= 1 && number <= args.size()) {
            result.append(args[number - 1].text());
        }
        pos = closing + 1;
    }
    return result;
}

} // namespace

TextArgument::TextArgument(double number) {
    // The host's ordinary conversion: up to 15 significant digits, no trailing
    // zeros, "1E+20" for large values.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number,
                                      std::chars_format::general, 15);
    text_.assign(buffer.data(), result.ptr);
    for (auto& c : text_) {
        if (c == 'e') {
            c = 'E';
        }
    }
}

std::int32_t TextService::blockOffset(Lcid language) {
    switch (language.value) {
    case 1033:
        return 10000;
    case 1034:
        return 20000;
    default:
        return 0;
    }
}

std::string TextService::LoadText(TextId id, std::initializer_list<TextArgument> args) const {
    return LoadText(id, std::span<const TextArgument>(args.begin(), args.size()));
}

std::string TextService::LoadText(TextId id, std::span<const TextArgument> args) const {
    // 64-bit arithmetic: a number near the top of the range must not wrap
    // into another text.
    auto text = table_.find(std::int64_t{id.value} + blockOffset(language_));
    if (text.empty()) {
        text = table_.find(id.value);
    }
    if (text.empty()) {
        // Escaped, so that the marker reads "@907" after expansion.
        return expand("\\@" + std::to_string(id.value), args);
    }
    return expand(text, args);
}

} // namespace korvana
