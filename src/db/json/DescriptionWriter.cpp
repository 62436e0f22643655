#include "db/json/DescriptionWriter.h"

#include "db/SettingsTable.h"
#include "db/SqlNames.h"
#include "db/ValueBinding.h"
#include "db/json/JsonValues.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <tuple>

namespace korvana::db::json {
namespace {

using nlohmann::ordered_json;

// Case-insensitive first, as the database tells names apart; exact spelling
// breaks ties so that the order is always the same.
bool nameLess(const std::string& a, const std::string& b) {
    const std::string la = toLowerAscii(a);
    const std::string lb = toLowerAscii(b);
    return la != lb ? la < lb : a < b;
}

ordered_json describeColumn(const FieldDef& field) {
    ordered_json column;
    column["name"] = field.name;
    column["type"] = daoTypeNumber(field.type);
    column["size"] = hasSize(field.type) ? field.size : fixedFieldSize(field.type);
    column["required"] = field.required;
    column["allowZeroLength"] = field.allowZeroLength;
    column["default"] = field.defaultValue ? ordered_json(*field.defaultValue) : ordered_json();
    column["position"] = field.ordinalPosition.value_or(0);
    column["autoNumber"] = field.autoNumber;
    ordered_json properties = ordered_json::object();
    for (const Property& property : field.properties) {
        properties[property.name] = valueToJson(property.value);
    }
    column["properties"] = std::move(properties);
    return column;
}

} // namespace

ordered_json DescriptionWriter::describe(bool withRows) {
    std::vector<std::string> names = db_.tableNames();
    std::sort(names.begin(), names.end(), nameLess);
    ordered_json tables = ordered_json::array();
    for (const std::string& name : names) {
        tables.push_back(describeTable(db_.tableDef(name), withRows));
    }
    ordered_json description;
    description["tables"] = std::move(tables);
    description["settings"] = describeSettings();
    return description;
}

ordered_json DescriptionWriter::describeTable(const TableDef& table, bool withRows) {
    ordered_json result;
    result["name"] = table.name;
    ordered_json columns = ordered_json::array();
    for (const FieldDef& field : table.fields) {
        columns.push_back(describeColumn(field));
    }
    result["columns"] = std::move(columns);
    std::vector<const IndexDef*> indexes;
    for (const IndexDef& index : table.indexes) {
        indexes.push_back(&index);
    }
    std::sort(indexes.begin(), indexes.end(),
              [](const IndexDef* a, const IndexDef* b) { return nameLess(a->name, b->name); });
    ordered_json indexList = ordered_json::array();
    for (const IndexDef* index : indexes) {
        indexList.push_back({{"name", index->name},
                             {"fields", index->fields},
                             {"primary", index->primary},
                             {"unique", index->unique},
                             {"required", index->required}});
    }
    result["indexes"] = std::move(indexList);
    if (withRows) {
        result["rows"] = describeRows(table);
    }
    return result;
}

ordered_json DescriptionWriter::describeRows(const TableDef& table) {
    std::string columns;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        columns += (i > 0 ? ", " : "") + quoteIdentifier(table.fields[i].name);
    }
    // Key order: the primary index where there is one, else the order of entry.
    std::string order;
    for (const IndexDef& index : table.indexes) {
        if (index.primary) {
            for (const std::string& field : index.fields) {
                order += (order.empty() ? "" : ", ") + quoteIdentifier(field);
            }
        }
    }
    order += (order.empty() ? "" : ", ") + std::string("rowid");
    auto& connection = db_.connection();
    auto statement = connection.prepare("SELECT " + columns + " FROM " +
                                        quoteIdentifier(table.name) + " ORDER BY " + order);
    ordered_json rows = ordered_json::array();
    while (statement.step()) {
        ordered_json row = ordered_json::object();
        for (std::size_t i = 0; i < table.fields.size(); ++i) {
            row[table.fields[i].name] =
                valueToJson(readValue(statement, static_cast<int>(i), table.fields[i].type));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

ordered_json DescriptionWriter::describeSettings() {
    std::vector<SettingRow> rows = SettingsTable(db_.connection()).readAll();
    // By section, then key, as the database compares them; the exact spelling
    // breaks ties only so that the order is always the same.
    const auto sortKey = [](const SettingRow& row) {
        return std::tuple(toLowerAscii(row.section), toLowerAscii(row.key), row.section, row.key);
    };
    std::sort(rows.begin(), rows.end(),
              [&](const SettingRow& a, const SettingRow& b) { return sortKey(a) < sortKey(b); });
    ordered_json settings = ordered_json::array();
    for (const SettingRow& row : rows) {
        settings.push_back({{"section", row.section},
                            {"key", row.key},
                            {"type", std::string(settingTypeName(typeOf(row.value)))},
                            {"value", settingToJson(row.value)}});
    }
    return settings;
}

} // namespace korvana::db::json
