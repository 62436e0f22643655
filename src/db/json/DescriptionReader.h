#pragma once

#include "db/json/Description.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace korvana::db::json {

// Reads a JSON description and checks all of it before anything is written:
// unknown keys, unknown types, duplicate names (also names that differ only in
// case, as the database does not tell them apart), rows naming missing columns
// and values that do not fit their column are refused with an error that says
// where. Keys left out take their defaults: size 255 for Text types, required
// and allowZeroLength false, no default, position = place in the list,
// autoNumber false, no properties.
class DescriptionReader {
  public:
    static Description parse(std::string_view jsonText);
    static Description read(const nlohmann::json& description);

  private:
    static TableDescription readTable(const nlohmann::json& table, std::size_t number);
    static FieldDef readColumn(const nlohmann::json& column, const std::string& where,
                               std::size_t number);
    static SettingRow readSetting(const nlohmann::json& setting, std::size_t number);
};

} // namespace korvana::db::json
