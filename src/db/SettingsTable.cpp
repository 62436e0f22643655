#include "db/SettingsTable.h"

#include "db/InternalTables.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"

#include <sqlite3.h>

namespace korvana::db {

namespace {

using namespace runtimeErrors;

// One row per key. `Type` is the SettingType number: 8 string, 3 32-bit
// integer, 2 16-bit integer, 7 date (the Variant type numbers); a date is
// stored as text "YYYY-MM-DD HH:MM:SS". Names compare as the store matches them,
// without regard to case.
constexpr const char* schema = "CREATE TABLE IF NOT EXISTS kv_settings ("
                               " Section TEXT NOT NULL COLLATE NOCASE,"
                               " Key TEXT NOT NULL COLLATE NOCASE,"
                               " Type INTEGER NOT NULL,"
                               " Value,"
                               " PRIMARY KEY (Section, Key))";

std::string settingName(std::string_view section, std::string_view key) {
    return "'" + std::string(section) + "/" + std::string(key) + "'";
}

// A write joins the caller's transaction as a savepoint, so that a failure
// takes back only this write; without one it is a transaction of its own,
// begun IMMEDIATE so that a second writer on the same file waits for the lock
// instead of failing halfway.
template <class Write> void inWriteScope(sqlite::Database& db, const Write& write) {
    if (sqlite3_get_autocommit(db.handle()) != 0) {
        sqlite::Transaction transaction(db);
        write();
        transaction.commit();
    } else {
        sqlite::Savepoint savepoint(db);
        write();
        savepoint.release();
    }
}

} // namespace

std::optional<SettingValue> SettingsTable::find(std::string_view section, std::string_view key) {
    if (!exists()) {
        return std::nullopt;
    }
    auto query = db_.prepare("SELECT Type, Value FROM kv_settings WHERE Section = ?1 AND Key = ?2");
    query.bind(1, section).bind(2, key);
    if (!query.step()) {
        return std::nullopt;
    }
    return readValue(query, 0, 1, section, key);
}

void SettingsTable::set(std::string_view section, std::string_view key, const SettingValue& value) {
    requireWritable(section, key);
    inWriteScope(db_, [&] { writeRow(section, key, value); });
}

void SettingsTable::write(const std::vector<SettingRow>& rows) {
    // No settings, no table: a database is not given an empty one.
    if (rows.empty()) {
        return;
    }
    for (const SettingRow& row : rows) {
        requireWritable(row.section, row.key);
    }
    inWriteScope(db_, [&] {
        for (const SettingRow& row : rows) {
            writeRow(row.section, row.key, row.value);
        }
    });
}

std::vector<Setting> SettingsTable::section(std::string_view section) {
    std::vector<Setting> settings;
    if (!exists()) {
        return settings;
    }
    auto query = db_.prepare("SELECT Key, Type, Value FROM kv_settings WHERE Section = ?1 "
                             "ORDER BY rowid");
    query.bind(1, section);
    while (query.step()) {
        std::string key = query.getText(0);
        SettingValue value = readValue(query, 1, 2, section, key);
        settings.push_back({std::move(key), std::move(value)});
    }
    return settings;
}

std::vector<std::string> SettingsTable::sectionNames() {
    std::vector<std::string> names;
    if (!exists()) {
        return names;
    }
    // Section compares without regard to case, so the grouping does too.
    auto query = db_.prepare("SELECT Section FROM kv_settings WHERE rowid IN "
                             "(SELECT min(rowid) FROM kv_settings GROUP BY Section) "
                             "ORDER BY rowid");
    while (query.step()) {
        names.push_back(query.getText(0));
    }
    return names;
}

std::vector<SettingRow> SettingsTable::readAll() {
    std::vector<SettingRow> rows;
    if (!exists()) {
        return rows;
    }
    auto query = db_.prepare("SELECT Section, Key, Type, Value FROM kv_settings ORDER BY rowid");
    while (query.step()) {
        SettingRow row{query.getText(0), query.getText(1), {}};
        row.value = readValue(query, 2, 3, row.section, row.key);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool SettingsTable::exists() {
    // Another connection to the same file may have created the table since the
    // last look; once there, it stays.
    if (!seen_) {
        seen_ = db_.tableExists(settingsTable);
    }
    return seen_;
}

void SettingsTable::requireWritable(std::string_view section, std::string_view key) const {
    if (section.empty() || key.empty()) {
        throw Error("A setting needs a section and a key name", invalidProcedureCall);
    }
    // A write-protected project file is opened read-only; saying so beats
    // SQLite's "attempt to write a readonly database".
    if (sqlite3_db_readonly(db_.handle(), "main") == 1) {
        throw Error("The project file '" + db_.path() + "' is write-protected; the setting " +
                        settingName(section, key) + " cannot be saved",
                    pathFileAccessError);
    }
}

void SettingsTable::writeRow(std::string_view section, std::string_view key,
                             const SettingValue& value) {
    // Formatting a date can fail; do it before anything is written.
    const std::string dateText =
        typeOf(value) == SettingType::Date ? formatSettingDate(std::get<SettingDate>(value)) : "";

    db_.exec(schema);

    // A new key joins its section under the section's first spelling, so that
    // one section never shows up under two spellings.
    std::string sectionName(section);
    {
        auto existing = db_.prepare("SELECT Section FROM kv_settings WHERE Section = ?1 "
                                    "ORDER BY rowid LIMIT 1");
        existing.bind(1, section);
        if (existing.step()) {
            sectionName = existing.getText(0);
        }
    }

    // On conflict only type and value change: the key keeps its first spelling
    // and its place in the section.
    auto upsert = db_.prepare(
        "INSERT INTO kv_settings (Section, Key, Type, Value) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT (Section, Key) DO UPDATE SET Type = excluded.Type, Value = excluded.Value");
    upsert.bind(1, sectionName).bind(2, key);
    upsert.bind(3, static_cast<std::int64_t>(typeOf(value)));
    switch (typeOf(value)) {
    case SettingType::String:
        upsert.bind(4, std::string_view(std::get<std::string>(value)));
        break;
    case SettingType::Int32:
        upsert.bind(4, static_cast<std::int64_t>(std::get<std::int32_t>(value)));
        break;
    case SettingType::Int16:
        upsert.bind(4, static_cast<std::int64_t>(std::get<std::int16_t>(value)));
        break;
    case SettingType::Date:
        upsert.bind(4, std::string_view(dateText));
        break;
    }
    upsert.run();
}

SettingValue SettingsTable::readValue(const sqlite::Statement& row, int typeColumn, int valueColumn,
                                      std::string_view section, std::string_view key) const {
    const std::int64_t typeNumber = row.getInt(typeColumn);
    const auto type = settingTypeFromNumber(typeNumber);
    const int storage = row.columnType(valueColumn);
    const auto corrupt = [&](std::string_view why) {
        return Error("The setting " + settingName(section, key) + " in '" + db_.path() + "' " +
                         std::string(why),
                     typeMismatch);
    };
    if (!type) {
        throw corrupt("has the unknown type " + std::to_string(typeNumber));
    }
    switch (*type) {
    case SettingType::String:
        if (storage == SQLITE_BLOB) {
            throw corrupt("holds binary data instead of text");
        }
        return row.getText(valueColumn);
    case SettingType::Int32:
    case SettingType::Int16: {
        auto number = storage == SQLITE_INTEGER
                          ? integerSettingValue(*type, row.getInt(valueColumn))
                          : std::nullopt;
        if (!number) {
            throw corrupt("does not hold a valid " + std::string(settingTypeName(*type)) +
                          " number");
        }
        return std::move(*number);
    }
    case SettingType::Date:
        break;
    }
    const auto date =
        storage == SQLITE_TEXT ? parseSettingDate(row.getText(valueColumn)) : std::nullopt;
    if (!date) {
        throw corrupt("does not hold a valid date");
    }
    return *date;
}

} // namespace korvana::db
