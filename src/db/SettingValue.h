#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The value type of the project settings and the one home of their type
// numbers. It lives with the settings table in the database layer, which
// stores and checks it, and stays in namespace korvana because every layer above
// passes settings around by this name.
namespace korvana {

// A point in wall-clock time without a zone, as the project file keeps "date
// and time of creation": the developer's local time, never converted.
using SettingDate = std::chrono::local_seconds;

// One project setting. The alternative is the type the value was stored with,
// and it survives a round trip through the project file: the string "0042" stays
// a string, a 16-bit flag stays 16-bit.
using SettingValue = std::variant<std::string, std::int32_t, std::int16_t, SettingDate>;

// One key of a section with its value, as a section listing returns them.
struct Setting {
    std::string key;
    SettingValue value;
    bool operator==(const Setting&) const = default;
};

// The stored type numbers (those of a Variant), kept in the settings table.
enum class SettingType : std::int32_t { Int16 = 2, Int32 = 3, Date = 7, String = 8 };
inline constexpr std::array<SettingType, 4> settingTypes = {SettingType::String, SettingType::Int32,
                                                            SettingType::Int16, SettingType::Date};

SettingType typeOf(const SettingValue& value);
std::optional<SettingType> settingTypeFromNumber(std::int64_t number);
// "string", "int32", "int16", "date".
std::string_view settingTypeName(SettingType type);
std::optional<SettingType> parseSettingTypeName(std::string_view name);

// "YYYY-MM-DD HH:MM:SS", years 0001 to 9999.
std::string formatSettingDate(SettingDate date);
// Only the exact form above with a real calendar date; nothing otherwise.
std::optional<SettingDate> parseSettingDate(std::string_view text);
SettingDate makeSettingDate(int year, unsigned month, unsigned day, unsigned hour = 0,
                            unsigned minute = 0, unsigned second = 0);

// The value as the user reads it: numbers in decimal, dates in the stored form.
std::string settingText(const SettingValue& value);
// The value as a number where a Variant would give one: a number as it is, a
// string that holds a whole decimal number (surrounding blanks allowed); nothing
// for other strings and for dates.
std::optional<std::int64_t> settingNumber(const SettingValue& value);

// The number as a value of the whole-number type `type`; nothing when it lies
// outside that type's range or `type` holds no numbers. Every reader of numbers
// (user input, stored rows, descriptions) checks the range here.
std::optional<SettingValue> integerSettingValue(SettingType type, std::int64_t number);

// Reads user input of the given type; a clear korvana::Error when it does not fit
// (a number out of range, a malformed date).
SettingValue parseSettingValue(SettingType type, std::string_view text);

} // namespace korvana
