#pragma once

namespace korvana::db {

// Tables of a project file that belong to the engine and the settings store,
// not to the project: listings and dumps leave them out. The settings table is
// read and written by SettingsTable alone.
inline constexpr const char* settingsTable = "kv_settings";
inline constexpr const char* internalTablePrefix = "kv_";

} // namespace korvana::db
