#pragma once

#include <CLI/CLI.hpp>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace korvana::cli {

// Whether a number argument may be negative (a mask's -1 for "all") or not (a
// text number, an LCID).
enum class Sign { NonNegative, Any };

// kvs takes numbers as decimal digits, with a minus only where negative numbers
// mean something. CLI11 alone converts with strtoll in base 0, which reads
// "0x10" as 16, "010" as 8 and " 7" as 7, so a slip of the keyboard would name
// another text, language or mask without a word.
template <typename Number> std::optional<Number> parseDecimal(std::string_view text, Sign sign) {
    const bool negative = text.starts_with('-');
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if ((negative && sign == Sign::NonNegative) || digits.empty() ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt; // out of range
    }
    return value;
}

// The transform for every number option and argument of kvs: what parseDecimal
// refuses ends kvs with the usage exit code, the range named; what it takes is
// handed on in its plain form, as CLI11 would read "010" as octal 8.
template <typename Number> CLI::Validator decimalNumber(Sign sign) {
    const Number lowest = sign == Sign::Any ? std::numeric_limits<Number>::min() : Number{};
    const std::string range =
        std::to_string(lowest) + " to " + std::to_string(std::numeric_limits<Number>::max());
    return CLI::Validator(
        [sign, range](std::string& text) {
            const auto value = parseDecimal<Number>(text, sign);
            if (!value) {
                return "'" + text + "' is not a decimal number from " + range;
            }
            text = std::to_string(*value);
            return std::string();
        },
        "");
}

} // namespace korvana::cli
