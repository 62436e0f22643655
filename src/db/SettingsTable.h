#pragma once

#include "db/SettingValue.h"
#include "db/Sqlite.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::db {

// One row of the settings table: a key with its section and typed value.
struct SettingRow {
    std::string section;
    std::string key;
    SettingValue value;
    bool operator==(const SettingRow&) const = default;
};

// The project settings as the project database keeps them, in the table
// kv_settings: the only code that reads or writes it, and so the one place that
// knows its columns and the stored type numbers.
//
// Section and key names match without regard to case and keep the spelling in
// which they were first written: a new key joins its section under the
// section's first spelling, and overwriting a key changes only its type and
// value, so it keeps its name and its place. Listings give keys and sections in
// the order in which they were first written.
//
// A stored row that does not fit its type (edited by hand, written by some
// other tool) is refused with runtimeErrors::typeMismatch and the file named,
// never read as some other value. A database without settings has no table;
// reading it finds nothing and creates nothing.
class SettingsTable {
  public:
    explicit SettingsTable(sqlite::Database& db) : db_(db) {}

    std::optional<SettingValue> find(std::string_view section, std::string_view key);
    // Creates the key (and so its section) or overwrites its value and type.
    // Inside a transaction of the caller the write becomes part of it; otherwise
    // it is committed before this returns, so a crash cannot take it back.
    void set(std::string_view section, std::string_view key, const SettingValue& value);
    // Sets each row in turn, all or nothing, the same way as set().
    void write(const std::vector<SettingRow>& rows);

    // The keys of a section.
    std::vector<Setting> section(std::string_view section);
    // Every section that holds a key, each spelt as its oldest row spells it.
    std::vector<std::string> sectionNames();
    // Every row as it is stored.
    std::vector<SettingRow> readAll();

  private:
    bool exists();
    void requireWritable(std::string_view section, std::string_view key) const;
    void writeRow(std::string_view section, std::string_view key, const SettingValue& value);
    SettingValue readValue(const sqlite::Statement& row, int typeColumn, int valueColumn,
                           std::string_view section, std::string_view key) const;

    sqlite::Database& db_;
    bool seen_ = false;
};

} // namespace korvana::db
