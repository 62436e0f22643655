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

// Resolves escapes and fills placeholders in one pass from left to right.
// Whatever is inserted is stepped over, so an argument that holds "@2@" or a
// backslash is shown as it is. All special characters are ASCII, so working on
// UTF-8 bytes never splits a character.
std::string expand(std::string text, std::span<const TextArgument> args) {
    std::size_t pos = 0;
    for (;;) {
        const auto at = text.find('@', pos);
        const auto backslash = text.find('\\', pos);
        if (at == std::string::npos && backslash == std::string::npos) {
            break;
        }
        if (backslash != std::string::npos && (at == std::string::npos || backslash < at)) {
            const auto value =
                backslash + 1 < text.size() ? escapeValue(text[backslash + 1]) : std::nullopt;
            if (value) {
                text.replace(backslash, 2, *value);
                pos = backslash + value->size();
            } else {
                // Not an escape (or a backslash at the very end): drop the
                // backslash, keep the character after it.
                text.erase(backslash, 1);
                pos = backslash;
            }
            continue;
        }
        const auto closing = text.find('@', at + 1);
        if (closing == std::string::npos) {
            text.erase(at, 1); // a lone "@" is dropped
            pos = at;
            continue;
        }
        const auto number = placeholderNumber(std::string_view(text).substr(at + 1));
        // A placeholder without a matching argument inserts nothing.
        const std::string_view value = number >= 1 && number <= args.size()
                                           ? std::string_view(args[number - 1].text())
                                           : std::string_view();
        text.replace(at, closing - at + 1, value);
        pos = at + value.size();
    }
    return text;
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
    return expand(std::string(text), args);
}

} // namespace korvana
