#include "db/json/DescriptionReader.h"

#include "db/DbErrors.h"
#include "db/json/JsonValues.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <set>
#include <unordered_map>
#include <vector>

namespace korvana::db::json {
namespace {

using nlohmann::json;

[[noreturn]] void refuse(const std::string& message) {
    throw Error("Invalid database description: " + message, errors::invalidArgument);
}

void allowOnly(const json& object, const std::string& where,
               std::initializer_list<const char*> keys) {
    if (!object.is_object()) {
        refuse(where + " must be an object");
    }
    for (const auto& item : object.items()) {
        bool known = false;
        for (const char* key : keys) {
            known = known || item.key() == key;
        }
        if (!known) {
            refuse(where + " has the unknown key \"" + item.key() + "\"");
        }
    }
}

const json& member(const json& object, const char* key, const std::string& where) {
    if (!object.contains(key)) {
        refuse(where + " lacks \"" + key + "\"");
    }
    return object[key];
}

std::string text(const json& object, const char* key, const std::string& where) {
    const json& value = member(object, key, where);
    if (!value.is_string() || value.get_ref<const std::string&>().empty()) {
        refuse(where + ": \"" + key + "\" must be a non-empty text");
    }
    return value.get<std::string>();
}

bool flag(const json& object, const char* key, const std::string& where) {
    if (!object.contains(key)) {
        return false;
    }
    if (!object[key].is_boolean()) {
        refuse(where + ": \"" + key + "\" must be true or false");
    }
    return object[key].get<bool>();
}

int smallInteger(const json& value, const std::string& where, const char* key) {
    if (!value.is_number_integer() || value.get<std::int64_t>() < 0 ||
        value.get<std::int64_t>() > std::numeric_limits<int>::max()) {
        refuse(where + ": \"" + key + "\" must be a whole number of 0 or more");
    }
    return static_cast<int>(value.get<std::int64_t>());
}

const json& array(const json& object, const char* key, const std::string& where) {
    static const json empty = json::array();
    if (!object.contains(key)) {
        return empty;
    }
    if (!object[key].is_array()) {
        refuse(where + ": \"" + key + "\" must be a list");
    }
    return object[key];
}

// Names are compared as the database compares them: without regard to case.
void claimName(std::set<std::string>& seen, const std::string& name, const std::string& what) {
    if (!seen.insert(toLowerAscii(name)).second) {
        refuse(what + " '" + name + "' is named twice");
    }
}

// "the number 1E999 at byte offset 120 is out of range", from the library's
// message "... number overflow parsing '1E999'".
std::string numberOutOfRange(std::string_view text, std::string_view message) {
    const auto open = message.find('\'');
    const auto close = message.rfind('\'');
    if (open == std::string_view::npos || close <= open) {
        return std::string(message);
    }
    const std::string_view number = message.substr(open + 1, close - open - 1);
    const auto offset = text.find(number);
    return "the number " + std::string(number.substr(0, 40)) +
           (offset == std::string_view::npos ? "" : " at byte offset " + std::to_string(offset)) +
           " is out of range";
}

std::string named(const std::string& name) {
    return "'" + name + "'";
}

// A table's columns by name, found without regard to case in constant time,
// so that reading the rows of a wide table takes time in proportion to the
// description, not to its square.
class ColumnIndex {
  public:
    explicit ColumnIndex(const TableDef& table) {
        for (const FieldDef& field : table.fields) {
            byName_.emplace(toLowerAscii(field.name), &field);
        }
    }
    const FieldDef* find(std::string_view name) const {
        const auto found = byName_.find(toLowerAscii(name));
        return found == byName_.end() ? nullptr : found->second;
    }

  private:
    std::unordered_map<std::string, const FieldDef*> byName_;
};

IndexDef readIndex(const json& index, const ColumnIndex& columns, const std::string& where) {
    allowOnly(index, where + ", index", {"name", "fields", "primary", "unique", "required"});
    IndexDef result;
    result.name = text(index, "name", where + ", index");
    const std::string place = where + ", index " + named(result.name);
    const json& fields = member(index, "fields", place);
    if (!fields.is_array() || fields.empty()) {
        refuse(place + ": \"fields\" must be a non-empty list of column names");
    }
    std::set<std::string> seen;
    for (const json& field : fields) {
        if (!field.is_string()) {
            refuse(place + ": \"fields\" must be a list of column names");
        }
        const FieldDef* column = columns.find(field.get<std::string>());
        if (column == nullptr) {
            refuse(place + ": unknown column '" + field.get<std::string>() + "'");
        }
        claimName(seen, column->name, place + ": field");
        result.fields.push_back(column->name);
    }
    result.primary = flag(index, "primary", place);
    result.unique = flag(index, "unique", place);
    result.required = flag(index, "required", place);
    return result;
}

RowValues readRow(const json& row, const ColumnIndex& columns, const std::string& where) {
    if (!row.is_object()) {
        refuse(where + " must be an object of column values");
    }
    RowValues values;
    std::set<std::string> seen;
    for (const auto& item : row.items()) {
        const FieldDef* field = columns.find(item.key());
        if (field == nullptr) {
            refuse(where + ": unknown column '" + item.key() + "'");
        }
        claimName(seen, field->name, where + ": column");
        values.emplace_back(field->name, valueFromJson(item.value(), field->type,
                                                       "Invalid database description: " + where +
                                                           ", column " + named(field->name)));
    }
    return values;
}

} // namespace

Description DescriptionReader::parse(std::string_view jsonText) {
    // Duplicate keys in one object would silently keep only the last value.
    std::vector<std::set<std::string>> keys;
    const json::parser_callback_t noDuplicates = [&keys](int, json::parse_event_t event,
                                                         json& parsed) {
        if (event == json::parse_event_t::object_start) {
            keys.emplace_back();
        } else if (event == json::parse_event_t::object_end) {
            keys.pop_back();
        } else if (event == json::parse_event_t::key && !keys.empty() &&
                   !keys.back().insert(parsed.get<std::string>()).second) {
            refuse("the key \"" + parsed.get<std::string>() + "\" appears twice in one object");
        }
        return true;
    };
    json description;
    try {
        description = json::parse(jsonText, noDuplicates);
    } catch (const json::parse_error& error) {
        refuse(std::string("not valid JSON: ") + error.what());
    } catch (const json::out_of_range& error) {
        // A number beyond a double (1E999); the library's message names the
        // number but not where it stands.
        refuse("not valid JSON: " + numberOutOfRange(jsonText, error.what()));
    }
    return read(description);
}

Description DescriptionReader::read(const json& description) {
    allowOnly(description, "the description", {"tables", "settings"});
    Description result;
    std::set<std::string> tableNames;
    const json& tables = array(description, "tables", "the description");
    for (std::size_t i = 0; i < tables.size(); ++i) {
        TableDescription table = readTable(tables[i], i + 1);
        claimName(tableNames, table.definition.name, "table");
        result.tables.push_back(std::move(table));
    }
    std::set<std::string> settingNames;
    const json& settings = array(description, "settings", "the description");
    for (std::size_t i = 0; i < settings.size(); ++i) {
        SettingRow setting = readSetting(settings[i], i + 1);
        claimName(settingNames, setting.section + "/" + setting.key, "setting");
        result.settings.push_back(std::move(setting));
    }
    return result;
}

TableDescription DescriptionReader::readTable(const json& table, std::size_t number) {
    const std::string place = "table " + std::to_string(number);
    allowOnly(table, place, {"name", "columns", "indexes", "rows"});
    TableDescription result;
    result.definition.name = text(table, "name", place);
    const std::string where = "table " + named(result.definition.name);
    if (startsWithIgnoreCase(result.definition.name, "kv_")) {
        refuse(where + ": the prefix kv_ is reserved for the database's own tables");
    }
    const json& columns = array(table, "columns", where);
    if (columns.empty()) {
        refuse(where + " has no columns");
    }
    std::set<std::string> columnNames;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        FieldDef field = readColumn(columns[i], where, i);
        claimName(columnNames, field.name, where + ": column");
        result.definition.fields.push_back(std::move(field));
    }
    const ColumnIndex columnIndex(result.definition);
    std::set<std::string> indexNames;
    for (const json& index : array(table, "indexes", where)) {
        IndexDef definition = readIndex(index, columnIndex, where);
        claimName(indexNames, definition.name, where + ": index");
        result.definition.indexes.push_back(std::move(definition));
    }
    const json& rows = array(table, "rows", where);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        result.rows.push_back(
            readRow(rows[i], columnIndex, where + ", row " + std::to_string(i + 1)));
    }
    return result;
}

FieldDef DescriptionReader::readColumn(const json& column, const std::string& table,
                                       std::size_t number) {
    const std::string place = table + ", column " + std::to_string(number + 1);
    allowOnly(column, place,
              {"name", "type", "size", "required", "allowZeroLength", "default", "position",
               "autoNumber", "properties"});
    FieldDef field;
    field.name = text(column, "name", place);
    const std::string where = table + ", column " + named(field.name);
    const json& typeNumber = member(column, "type", where);
    std::optional<DaoType> type;
    if (typeNumber.is_number_integer() && typeNumber.get<std::int64_t>() > 0 &&
        typeNumber.get<std::int64_t>() <= std::numeric_limits<int>::max()) {
        type = daoTypeFromNumber(static_cast<int>(typeNumber.get<std::int64_t>()));
    }
    if (!type) {
        refuse(where + ": unknown type " + describeJson(typeNumber));
    }
    field.type = *type;
    field.size = maxTextSize;
    if (column.contains("size") && hasSize(field.type)) {
        field.size = smallInteger(column["size"], where, "size");
        if (field.size < 1 || field.size > maxTextSize) {
            refuse(where + ": the size must be from 1 to " + std::to_string(maxTextSize));
        }
    } else if (column.contains("size")) {
        smallInteger(column["size"], where, "size"); // types without a size: informative only
    }
    field.required = flag(column, "required", where);
    field.allowZeroLength = flag(column, "allowZeroLength", where);
    field.autoNumber = flag(column, "autoNumber", where);
    if (field.autoNumber && field.type != DaoType::Long) {
        refuse(where + ": only a Long column (type 4) can be an auto number");
    }
    if (column.contains("default") && !column["default"].is_null()) {
        const json& expression = column["default"];
        if (expression.is_string()) {
            field.defaultValue = expression.get<std::string>();
        } else if (expression.is_number_integer()) {
            field.defaultValue = std::to_string(expression.get<std::int64_t>());
        } else if (expression.is_boolean()) {
            field.defaultValue = expression.get<bool>() ? "True" : "False";
        } else {
            refuse(where + ": \"default\" must be an expression text");
        }
    }
    field.ordinalPosition = column.contains("position")
                                ? smallInteger(column["position"], where, "position")
                                : static_cast<int>(number);
    if (column.contains("properties")) {
        const json& properties = column["properties"];
        if (!properties.is_object()) {
            refuse(where + ": \"properties\" must be an object");
        }
        std::set<std::string> names;
        for (const auto& item : properties.items()) {
            claimName(names, item.key(), where + ": property");
            const json& value = item.value();
            if (value.is_boolean()) {
                field.properties.push_back(Property::boolean(item.key(), value.get<bool>()));
            } else if (value.is_string()) {
                field.properties.push_back(Property::text(item.key(), value.get<std::string>()));
            } else if (value.is_number_integer()) {
                field.properties.push_back(
                    {item.key(), DaoType::Long,
                     valueFromJson(value, DaoType::Long, where + ", property " + item.key())});
            } else if (value.is_number()) {
                field.properties.push_back({item.key(), DaoType::Double, value.get<double>()});
            } else {
                refuse(where + ": property '" + item.key() +
                       "' must be true/false, a text or a number");
            }
        }
    }
    return field;
}

SettingRow DescriptionReader::readSetting(const json& setting, std::size_t number) {
    const std::string place = "setting " + std::to_string(number);
    allowOnly(setting, place, {"section", "key", "type", "value"});
    SettingRow result;
    result.section = text(setting, "section", place);
    result.key = text(setting, "key", place);
    const std::string where = "setting " + named(result.section + "/" + result.key);
    const json& type = member(setting, "type", where);
    const json& value = member(setting, "value", where);
    // Type names are written exactly as a dump writes them.
    const std::string typeName = type.is_string() ? type.get<std::string>() : describeJson(type);
    const auto known = std::find_if(settingTypes.begin(), settingTypes.end(),
                                    [&](SettingType t) { return settingTypeName(t) == typeName; });
    if (known == settingTypes.end()) {
        refuse(where + ": unknown type " + typeName + " (string, int32, int16 or date)");
    }
    if (value.is_null()) {
        refuse(where + ": the value must not be null");
    }
    result.value = settingFromJson(value, *known, "Invalid database description: " + where);
    return result;
}

} // namespace korvana::db::json
