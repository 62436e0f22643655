#pragma once

#include "db/json/Description.h"

#include <string>
#include <string_view>

// Making a database from a description and describing a database, as files.
namespace korvana::db::json {

// Creates the new database `path` from the description. Refuses an existing
// file; when anything fails, no file is left behind.
void createDatabase(const std::string& path, const Description& description);
void createDatabaseFromJson(const std::string& path, std::string_view jsonText);

// The description of the database `path` as indented JSON text.
std::string dumpDatabase(const std::string& path, bool withRows);

} // namespace korvana::db::json
