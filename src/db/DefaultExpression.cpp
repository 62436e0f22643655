#include "db/DefaultExpression.h"

#include "db/DbErrors.h"
#include "db/SqlNames.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <charconv>
#include <cstdint>

namespace korvana::db {

namespace {

// "abc" or 'abc' with doubled quotes inside; nothing if not one whole string.
std::optional<std::string> unquote(std::string_view expression) {
    if (expression.size() < 2) {
        return std::nullopt;
    }
    const char quote = expression.front();
    if ((quote != '"' && quote != '\'') || expression.back() != quote) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 1; i + 1 < expression.size(); ++i) {
        if (expression[i] == quote) {
            if (i + 2 < expression.size() && expression[i + 1] == quote) {
                text += quote;
                ++i;
                continue;
            }
            return std::nullopt; // two strings, e.g. "a" & "b"
        }
        text += expression[i];
    }
    return text;
}

std::optional<bool> booleanWord(std::string_view expression) {
    for (const char* word : {"True", "Yes", "On"}) {
        if (equalsIgnoreCase(expression, word)) {
            return true;
        }
    }
    for (const char* word : {"False", "No", "Off"}) {
        if (equalsIgnoreCase(expression, word)) {
            return false;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> realNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string realLiteral(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string literal(buffer, end);
    // Keep the literal a REAL in SQLite's eyes.
    if (literal.find_first_of(".eEn") == std::string::npos) {
        literal += ".0";
    }
    return literal;
}

} // namespace

std::optional<std::string> defaultLiteral(const FieldDef& field, std::string_view table) {
    if (!field.defaultValue) {
        return std::nullopt;
    }
    const std::string_view expression = trim(*field.defaultValue);
    if (expression.empty()) {
        return std::nullopt;
    }
    auto refuse = [&]() -> std::string {
        throw Error("Default value '" + *field.defaultValue + "' of field '" + std::string(table) +
                        "." + field.name + "' does not suit a " +
                        std::string(daoTypeName(field.type)) + " field",
                    errors::invalidDefault);
    };
    if (isTextType(field.type)) {
        if (auto text = unquote(expression)) {
            return quoteLiteral(*text);
        }
        return quoteLiteral(expression);
    }
    if (field.type == DaoType::DateTime) {
        if (auto text = unquote(expression)) {
            return quoteLiteral(*text);
        }
        if (expression.size() > 2 && expression.front() == '#' && expression.back() == '#') {
            return quoteLiteral(expression.substr(1, expression.size() - 2));
        }
        return refuse();
    }
    if (field.type == DaoType::LongBinary) {
        return refuse();
    }
    // Jet keeps True as -1, and any number other than 0 is True.
    if (auto word = booleanWord(expression)) {
        return *word ? "-1" : "0";
    }
    if (field.type == DaoType::Boolean) {
        if (auto whole = wholeNumber(expression)) {
            return *whole != 0 ? "-1" : "0";
        }
        if (auto real = realNumber(expression)) {
            return *real != 0.0 ? "-1" : "0";
        }
        return refuse();
    }
    if (isIntegerType(field.type)) {
        if (auto whole = wholeNumber(expression)) {
            return std::to_string(*whole);
        }
        return refuse();
    }
    if (auto real = realNumber(expression)) {
        return realLiteral(*real);
    }
    return refuse();
}

} // namespace korvana::db
