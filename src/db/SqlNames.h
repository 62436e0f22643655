#pragma once

#include <string>
#include <string_view>

namespace korvana::db {

// Table, field, index and property names end up as quoted identifiers in
// schema statements (SQLite cannot bind them), so they are checked first: no
// control characters, none of . ! ` [ ] " (which DAO forbids as well), no
// leading space, at most 64 characters. Raises korvana::Error naming `kind`.
void checkName(std::string_view kind, std::string_view name);

// "name" with embedded quotes doubled.
std::string quoteIdentifier(std::string_view name);
// 'text' with embedded quotes doubled.
std::string quoteLiteral(std::string_view text);

// SQLite keeps index and trigger names in one namespace per database; a DAO
// index name is only unique within its table. A '.' cannot occur in a checked
// name, so these never collide with each other or with a table.
std::string indexSqlName(std::string_view table, std::string_view index);
std::string insertTriggerName(std::string_view table, std::string_view field);
std::string updateTriggerName(std::string_view table, std::string_view field);

// The engine's own tables ("kv_...") and SQLite's ("sqlite_...").
bool isInternalTableName(std::string_view name);

} // namespace korvana::db
