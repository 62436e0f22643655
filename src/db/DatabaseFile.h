#pragma once

#include <string>

namespace korvana::db {

// Checks, before SQLite touches it, that `path` is a complete SQLite database
// file: SQLite would take an empty file for a new database and write into it,
// and a truncated file opens fine and fails only later, half-way through a
// change. Raises korvana::Error naming the file otherwise.
void checkDatabaseFile(const std::string& path);

} // namespace korvana::db
