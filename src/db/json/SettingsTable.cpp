#include "db/json/SettingsTable.h"

#include "db/DbErrors.h"
#include "db/InternalTables.h"
#include "db/ValueBinding.h"
#include "db/json/JsonValues.h"
#include "platform/Error.h"

#include <sqlite3.h>

namespace korvana::db::json {

void SettingsTable::write(const std::vector<Setting>& settings) {
    if (settings.empty()) {
        return;
    }
    db_.exec(settingsTableSchema);
    auto statement = db_.prepare(
        "INSERT OR REPLACE INTO kv_settings (Section, Key, Type, Value) VALUES (?1, ?2, ?3, ?4)");
    for (const Setting& setting : settings) {
        statement.reset();
        statement.bind(1, setting.section);
        statement.bind(2, setting.key);
        statement.bind(3, std::int64_t{static_cast<int>(setting.type)});
        bindValue(statement, 4, setting.value);
        statement.run();
    }
}

std::vector<Setting> SettingsTable::read() {
    std::vector<Setting> settings;
    if (!db_.tableExists(settingsTable)) {
        return settings;
    }
    auto statement =
        db_.prepare("SELECT Section, Key, Type, Value FROM kv_settings ORDER BY Section, Key");
    while (statement.step()) {
        Setting setting;
        setting.section = statement.getText(0);
        setting.key = statement.getText(1);
        const auto type = statement.getInt(2);
        const std::string where = "setting '" + setting.section + "/" + setting.key + "'";
        if (type == static_cast<int>(SettingType::String)) {
            setting.type = SettingType::String;
            setting.value = statement.getText(3);
        } else if (type == static_cast<int>(SettingType::Int32) ||
                   type == static_cast<int>(SettingType::Int16)) {
            setting.type = static_cast<SettingType>(type);
            if (statement.columnType(3) != SQLITE_INTEGER) {
                throw Error("The " + where + " holds no whole number", errors::databaseError);
            }
            setting.value = statement.getInt(3);
        } else if (type == static_cast<int>(SettingType::Date)) {
            setting.type = SettingType::Date;
            setting.value = DateTime{statement.getText(3)};
            if (!isStoredDate(statement.getText(3))) {
                throw Error("The " + where + " holds no valid date", errors::databaseError);
            }
        } else {
            throw Error("The " + where + " has the unknown type " + std::to_string(type),
                        errors::databaseError);
        }
        settings.push_back(std::move(setting));
    }
    return settings;
}

} // namespace korvana::db::json
