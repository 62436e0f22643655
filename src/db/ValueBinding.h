#pragma once

#include "db/DaoType.h"
#include "db/Sqlite.h"
#include "db/Value.h"

namespace korvana::db {

// Binds a value as its stored form: Booleans as -1/0 (as Jet keeps them),
// dates as their text.
void bindValue(sqlite::Statement& statement, int index, const Value& value);

// The value a field of type `type` gives for what SQLite holds in `column`.
// Something stored in another form than the type suggests (written by other
// tools) is returned as it is stored rather than converted.
Value readValue(const sqlite::Statement& statement, int column, DaoType type);

// The value as a field of `type` stores it: any number written to a Boolean
// becomes True (-1) or False (0).
Value normaliseForField(const Value& value, DaoType type);

} // namespace korvana::db
