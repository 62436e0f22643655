#pragma once

#include "db/DaoType.h"
#include "db/SettingValue.h"
#include "db/Value.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

// How field values look in a JSON description: Booleans true/false, numbers as
// numbers, dates as "YYYY-MM-DD HH:MM:SS", binary data as {"hex": "0a0b"}.
namespace korvana::db::json {

// The value for a field of `type`; `where` names the place for the error
// raised when the JSON does not fit the type.
Value valueFromJson(const nlohmann::json& json, DaoType type, const std::string& where);
nlohmann::ordered_json valueToJson(const Value& value);

// The value of a setting of `type`: a text, a whole number within the type's
// range, or a date in the stored form (years 1 to 9999, as the settings keep
// them). `where` names the place for the error raised when the JSON does not fit.
SettingValue settingFromJson(const nlohmann::json& json, SettingType type,
                             const std::string& where);
nlohmann::ordered_json settingToJson(const SettingValue& value);

// A short description of a JSON value for error messages: the value itself
// when it is short and flat, else its kind (a nested value is never walked).
std::string describeJson(const nlohmann::json& json);

// Whether `text` is a date in the form a field stores it, with a real calendar
// day from the year 100 on, as Jet keeps dates.
bool isStoredDate(std::string_view text);

} // namespace korvana::db::json
