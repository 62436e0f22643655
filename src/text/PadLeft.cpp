#include "text/PadLeft.h"

#include "text/Utf8.h"

namespace korvana {

std::string PadLeft(const TextArgument& value, int width) {
    if (width <= 0) {
        return {};
    }
    const auto wanted = static_cast<std::size_t>(width);
    const auto& text = value.text();
    // Counted in characters, not bytes: a language name with umlauts must line
    // up like any other.
    const auto starts = utf8::characterStarts(text);
    if (starts.size() >= wanted) {
        return text.substr(starts[starts.size() - wanted]);
    }
    return std::string(wanted - starts.size(), ' ') + text;
}

} // namespace korvana
