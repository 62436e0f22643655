#include "project/ProjectType.h"

#include "platform/TextUtil.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace korvana {

namespace {

constexpr std::array<std::pair<ProjectType, std::string_view>, 6> typeNames{{
    {ProjectType::Single, "Single"},
    {ProjectType::Server, "Server"},
    {ProjectType::Client, "Client"},
    {ProjectType::TerminalServer, "Terminal Server"},
    {ProjectType::TerminalClient, "Terminal Client"},
    {ProjectType::Group, "Group"},
}};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal numbers stored data may hold: [sign] digits [. digits] [exponent],
// at least one digit before the exponent. Text that merely starts with a number
// ("2 Server") is not numeric.
std::optional<double> readDecimal(std::string_view text) {
    text = trim(text);
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    // from_chars refuses a leading '+', so the sign is applied here.
    double magnitude = 0;
    const auto* first = text.data() + mantissaStart;
    const auto* last = text.data() + text.size();
    const auto [stop, error] = std::from_chars(first, last, magnitude);
    if (stop != last) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        // Numeric all the same, just beyond any code.
        magnitude = std::numeric_limits<double>::infinity();
    }
    return negative ? -magnitude : magnitude;
}

std::string nameOfNumber(double number) {
    // Only a whole number can be a code; 1.5 is numeric but names no type.
    if (!std::isfinite(number) || number != std::floor(number) || std::fabs(number) > 1e9) {
        return {};
    }
    return std::string(
        projectTypeName(static_cast<ProjectType>(static_cast<std::int32_t>(number))));
}

} // namespace

std::string_view projectTypeName(ProjectType type) {
    for (const auto& [code, name] : typeNames) {
        if (code == type) {
            return name;
        }
    }
    return {};
}

ProjectType projectTypeCode(std::string_view name) {
    for (const auto& [code, typeName] : typeNames) {
        if (typeName == name) {
            return code;
        }
    }
    return ProjectType::None;
}

ProjectTypeValue ConvertProjectType(const ProjectTypeValue& value) {
    if (const auto* code = std::get_if<std::int32_t>(&value)) {
        return std::string(projectTypeName(static_cast<ProjectType>(*code)));
    }
    const auto& text = std::get<std::string>(value);
    if (const auto number = readDecimal(text)) {
        return nameOfNumber(*number);
    }
    return static_cast<std::int32_t>(projectTypeCode(text));
}

} // namespace korvana
