#pragma once

namespace korvana::db {

// Tables of a project file that belong to the engine and the settings store,
// not to the project: listings and dumps leave them out.
inline constexpr const char* settingsTable = "kv_settings";
inline constexpr const char* internalTablePrefix = "kv_";

// The project settings: one row per key. `Type` is 8 string, 3 32-bit integer,
// 2 16-bit integer, 7 date (the Variant type numbers); a date is stored as text
// "YYYY-MM-DD HH:MM:SS".
inline constexpr const char* settingsTableSchema =
    "CREATE TABLE IF NOT EXISTS kv_settings ("
    " Section TEXT NOT NULL COLLATE NOCASE,"
    " Key TEXT NOT NULL COLLATE NOCASE,"
    " Type INTEGER NOT NULL,"
    " Value,"
    " PRIMARY KEY (Section, Key))";

} // namespace korvana::db
