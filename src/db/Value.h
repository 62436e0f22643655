#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace korvana::db {

// A date and time as the project database stores it: "YYYY-MM-DD HH:MM:SS".
struct DateTime {
    std::string text;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

using Bytes = std::vector<std::uint8_t>;

// One value of a field, a key or a property. std::monostate is Null.
using Value =
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Bytes, DateTime>;

inline bool isNull(const Value& value) {
    return std::holds_alternative<std::monostate>(value);
}

// A short readable form for messages and logs ("Null", "True", "'abc'", ...).
std::string describeValue(const Value& value);

} // namespace korvana::db
