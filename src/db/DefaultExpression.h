#pragma once

#include "db/FieldDef.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana::db {

// Turns a field's default-value expression into the SQL literal that the
// column's DEFAULT clause holds, or nothing when the field has no default.
// Text fields: a string expression ("", "abc") gives its text, anything else
// its text as written ("0" gives the text 0). Boolean fields: True/False/Yes/No
// or a number. Numeric fields: a number. The literal is written by the engine,
// never copied from the expression, so the expression cannot inject SQL.
// Raises korvana::Error naming table and field for an expression it cannot
// give a meaning to.
std::optional<std::string> defaultLiteral(const FieldDef& field, std::string_view table);

} // namespace korvana::db
