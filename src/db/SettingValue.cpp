#include "db/SettingValue.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/TextUtil.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace korvana {

namespace {

using namespace std::chrono;
using namespace runtimeErrors;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole decimal number, optionally signed; the whole text must be used.
std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int64_t number = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

unsigned digitsAt(std::string_view text, std::size_t position, std::size_t count) {
    unsigned value = 0;
    for (std::size_t i = position; i < position + count; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return value;
}

SettingValue parseInteger(SettingType type, std::string_view text) {
    const std::string typeName(settingTypeName(type));
    const auto number = parseWholeNumber(trim(text));
    if (!number) {
        throw Error("'" + std::string(text) + "' is not a whole number (" + typeName + ")",
                    typeMismatch);
    }
    auto value = integerSettingValue(type, *number);
    if (!value) {
        throw Error("'" + std::string(text) + "' is out of range for " + typeName, overflow);
    }
    return std::move(*value);
}

} // namespace

SettingType typeOf(const SettingValue& value) {
    switch (value.index()) {
    case 0:
        return SettingType::String;
    case 1:
        return SettingType::Int32;
    case 2:
        return SettingType::Int16;
    default:
        return SettingType::Date;
    }
}

std::optional<SettingType> settingTypeFromNumber(std::int64_t number) {
    switch (number) {
    case 2:
        return SettingType::Int16;
    case 3:
        return SettingType::Int32;
    case 7:
        return SettingType::Date;
    case 8:
        return SettingType::String;
    default:
        return std::nullopt;
    }
}

std::string_view settingTypeName(SettingType type) {
    switch (type) {
    case SettingType::Int16:
        return "int16";
    case SettingType::Int32:
        return "int32";
    case SettingType::Date:
        return "date";
    case SettingType::String:
        break;
    }
    return "string";
}

std::optional<SettingType> parseSettingTypeName(std::string_view name) {
    for (const auto type : settingTypes) {
        if (equalsIgnoreCase(name, settingTypeName(type))) {
            return type;
        }
    }
    return std::nullopt;
}

std::string formatSettingDate(SettingDate date) {
    const auto day = floor<days>(date);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> time{date - day};
    const int yearNumber = static_cast<int>(ymd.year());
    if (yearNumber < 1 || yearNumber > 9999) {
        throw Error("The date lies outside the years 1 to 9999", overflow);
    }
    // Room for the widest values the formats allow, so no field can be cut.
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02ld", yearNumber,
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<long>(time.hours().count()),
                  static_cast<long>(time.minutes().count()),
                  static_cast<long>(time.seconds().count()));
    return text;
}

std::optional<SettingDate> parseSettingDate(std::string_view text) {
    static constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !isDigit(text[i]) : text[i] != shape[i]) {
            return std::nullopt;
        }
    }
    const year_month_day ymd{year{static_cast<int>(digitsAt(text, 0, 4))},
                             month{digitsAt(text, 5, 2)}, day{digitsAt(text, 8, 2)}};
    const unsigned hour = digitsAt(text, 11, 2);
    const unsigned minute = digitsAt(text, 14, 2);
    const unsigned second = digitsAt(text, 17, 2);
    if (!ymd.ok() || ymd.year() < year{1} || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return local_days{ymd} + hours{hour} + minutes{minute} + seconds{second};
}

SettingDate makeSettingDate(int yearNumber, unsigned month, unsigned dayNumber, unsigned hour,
                            unsigned minute, unsigned second) {
    const year_month_day ymd{year{yearNumber}, std::chrono::month{month}, day{dayNumber}};
    if (!ymd.ok() || hour > 23 || minute > 59 || second > 59) {
        throw Error("Not a valid date and time", invalidProcedureCall);
    }
    return local_days{ymd} + hours{hour} + minutes{minute} + seconds{second};
}

std::string settingText(const SettingValue& value) {
    switch (typeOf(value)) {
    case SettingType::String:
        return std::get<std::string>(value);
    case SettingType::Int32:
        return std::to_string(std::get<std::int32_t>(value));
    case SettingType::Int16:
        return std::to_string(std::get<std::int16_t>(value));
    case SettingType::Date:
        break;
    }
    return formatSettingDate(std::get<SettingDate>(value));
}

std::optional<std::int64_t> settingNumber(const SettingValue& value) {
    switch (typeOf(value)) {
    case SettingType::String:
        return parseWholeNumber(trim(std::get<std::string>(value)));
    case SettingType::Int32:
        return std::get<std::int32_t>(value);
    case SettingType::Int16:
        return std::get<std::int16_t>(value);
    case SettingType::Date:
        break;
    }
    return std::nullopt;
}

std::optional<SettingValue> integerSettingValue(SettingType type, std::int64_t number) {
    const auto fits = [number]<class Integer>(Integer) {
        return number >= std::numeric_limits<Integer>::min() &&
               number <= std::numeric_limits<Integer>::max();
    };
    if (type == SettingType::Int32 && fits(std::int32_t{})) {
        return static_cast<std::int32_t>(number);
    }
    if (type == SettingType::Int16 && fits(std::int16_t{})) {
        return static_cast<std::int16_t>(number);
    }
    return std::nullopt;
}

SettingValue parseSettingValue(SettingType type, std::string_view text) {
    switch (type) {
    case SettingType::String:
        break;
    case SettingType::Int32:
    case SettingType::Int16:
        return parseInteger(type, text);
    case SettingType::Date:
        if (const auto date = parseSettingDate(text)) {
            return *date;
        }
        throw Error("'" + std::string(text) + "' is not a date of the form YYYY-MM-DD HH:MM:SS",
                    typeMismatch);
    }
    return std::string(text);
}

} // namespace korvana
