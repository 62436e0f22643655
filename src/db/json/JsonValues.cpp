#include "db/json/JsonValues.h"

#include "db/DbErrors.h"
#include "platform/Error.h"
#include "platform/HexBytes.h"

#include <array>
#include <cctype>
#include <limits>

namespace korvana::db::json {
namespace {

[[noreturn]] void mismatch(const std::string& where, const std::string& expected,
                           const nlohmann::json& json) {
    throw Error(where + ": expected " + expected + ", found " + describeJson(json),
                errors::invalidArgument);
}

std::int64_t integerInRange(const nlohmann::json& json, std::int64_t low, std::int64_t high,
                            const std::string& where, const std::string& what) {
    if (!json.is_number_integer()) {
        mismatch(where, what, json);
    }
    const bool negative =
        json.is_number_integer() && !json.is_number_unsigned() && json.get<std::int64_t>() < 0;
    if (!negative && json.get<std::uint64_t>() > static_cast<std::uint64_t>(high)) {
        mismatch(where, what, json);
    }
    const auto value = json.get<std::int64_t>();
    if (value < low) {
        mismatch(where, what, json);
    }
    return value;
}

Bytes bytesFromJson(const nlohmann::json& json, const std::string& where) {
    if (!json.is_object() || json.size() != 1 || !json.contains("hex") ||
        !json["hex"].is_string()) {
        mismatch(where, "binary data as {\"hex\": \"...\"}", json);
    }
    auto bytes = parseHex(json["hex"].get_ref<const std::string&>());
    if (!bytes) {
        mismatch(where, "pairs of hex digits", json);
    }
    return *bytes;
}

} // namespace

std::string describeJson(const nlohmann::json& json) {
    if (json.is_structured()) {
        return std::string("an ") + (json.is_array() ? "array" : "object");
    }
    std::string text = json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    constexpr std::size_t longest = 60;
    return text.size() > longest ? text.substr(0, longest) + "..." : text;
}

bool isStoredDate(std::string_view text) {
    // "YYYY-MM-DD HH:MM:SS"
    static constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == 'd' ? !digit : text[i] != shape[i]) {
            return false;
        }
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    static constexpr std::array<int, 12> monthDays = {31, 29, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return year >= 100 && month >= 1 && month <= 12 && day >= 1 &&
           day <= monthDays[static_cast<std::size_t>(month - 1)] &&
           !(month == 2 && day == 29 && !leap) && number(11, 2) <= 23 && number(14, 2) <= 59 &&
           number(17, 2) <= 59;
}

Value valueFromJson(const nlohmann::json& json, DaoType type, const std::string& where) {
    if (json.is_null()) {
        return std::monostate{};
    }
    switch (type) {
    case DaoType::Boolean:
        if (!json.is_boolean()) {
            mismatch(where, "true or false", json);
        }
        return json.get<bool>();
    case DaoType::Byte:
        return integerInRange(json, 0, 255, where, "a whole number from 0 to 255");
    case DaoType::Integer:
        return integerInRange(json, std::numeric_limits<std::int16_t>::min(),
                              std::numeric_limits<std::int16_t>::max(), where,
                              "a 16-bit whole number");
    case DaoType::Long:
        return integerInRange(json, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max(), where,
                              "a 32-bit whole number");
    case DaoType::Currency:
    case DaoType::Single:
    case DaoType::Double:
        if (!json.is_number()) {
            mismatch(where, "a number", json);
        }
        return json.get<double>();
    case DaoType::DateTime:
        if (!json.is_string() || !isStoredDate(json.get_ref<const std::string&>())) {
            mismatch(where, "a date \"YYYY-MM-DD HH:MM:SS\"", json);
        }
        return DateTime{json.get<std::string>()};
    case DaoType::LongBinary:
        return bytesFromJson(json, where);
    case DaoType::Text:
    case DaoType::Memo:
    case DaoType::FixedText:
        if (!json.is_string()) {
            mismatch(where, "a text", json);
        }
        return json.get<std::string>();
    }
    mismatch(where, "a value of a known type", json);
}

SettingValue settingFromJson(const nlohmann::json& json, SettingType type,
                             const std::string& where) {
    switch (type) {
    case SettingType::String:
        if (!json.is_string()) {
            mismatch(where, "a text", json);
        }
        return json.get<std::string>();
    case SettingType::Int32:
    case SettingType::Int16: {
        const char* expected =
            type == SettingType::Int16 ? "a 16-bit whole number" : "a 32-bit whole number";
        // An unsigned number beyond the signed range fits no setting.
        if (!json.is_number_integer() ||
            (json.is_number_unsigned() &&
             json.get<std::uint64_t>() >
                 static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))) {
            mismatch(where, expected, json);
        }
        auto value = integerSettingValue(type, json.get<std::int64_t>());
        if (!value) {
            mismatch(where, expected, json);
        }
        return std::move(*value);
    }
    case SettingType::Date:
        break;
    }
    const auto date =
        json.is_string() ? parseSettingDate(json.get_ref<const std::string&>()) : std::nullopt;
    if (!date) {
        mismatch(where, "a date \"YYYY-MM-DD HH:MM:SS\"", json);
    }
    return *date;
}

nlohmann::ordered_json settingToJson(const SettingValue& value) {
    switch (typeOf(value)) {
    case SettingType::String:
        return std::get<std::string>(value);
    case SettingType::Int32:
        return std::get<std::int32_t>(value);
    case SettingType::Int16:
        return std::get<std::int16_t>(value);
    case SettingType::Date:
        break;
    }
    return formatSettingDate(std::get<SettingDate>(value));
}

nlohmann::ordered_json valueToJson(const Value& value) {
    return std::visit(
        [](const auto& v) -> nlohmann::ordered_json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return nullptr;
            } else if constexpr (std::is_same_v<T, Bytes>) {
                return nlohmann::ordered_json{{"hex", toHex(v)}};
            } else if constexpr (std::is_same_v<T, DateTime>) {
                return v.text;
            } else {
                return v;
            }
        },
        value);
}

} // namespace korvana::db::json
