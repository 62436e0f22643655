#pragma once

#include "db/DaoType.h"
#include "db/Database.h"
#include "db/FieldDef.h"
#include "db/IndexDef.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvana::dbupgrade {

class StepSession;

// A column as an upgrade step describes it. Whatever a step leaves unset keeps
// the engine's default, so the designated-initialiser form of a step reads like
// its column table.
struct ColumnSpec {
    std::string name{};
    db::DaoType type = db::DaoType::Text;
    int size = db::maxTextSize;
    bool required = false;
    bool allowZeroLength = false;
    // The default expression exactly as stored: "\"\"" for the empty string,
    // "0" for the one-character expression 0.
    std::optional<std::string> defaultValue{};
    bool autoNumber = false;
    std::optional<int> position{};
    bool unicodeCompression = false;
    std::optional<std::string> description{};
};

// The default expression of a text column that starts out as the empty string.
inline constexpr std::string_view emptyStringDefault = "\"\"";

// The engine's field definition, with "UnicodeCompression" (Boolean) and
// "Description" (Text) as properties where the column asks for them.
db::FieldDef fieldDef(const ColumnSpec& column);

// Adds the column with its properties in one go: when the column exists the
// whole operation fails and the existing column keeps its properties.
void addColumn(db::Database& database, std::string_view table, const ColumnSpec& column);

// Replaces the column of the same name by `replacement`, filled by
// `copyStatement` from the old one through a temporary column. A copy that
// fails leaves the old column and its values untouched.
void changeColumn(db::Database& database, std::string_view table, const ColumnSpec& replacement,
                  std::string_view copyStatement);

// Sets "UnicodeCompression" to true, creating the property first when the
// column does not carry it yet.
void setUnicodeCompression(db::Database& database, std::string_view table, std::string_view field);

void addIndex(db::Database& database, std::string_view table, const db::IndexDef& index);

// Creates a table from its columns and indexes, each as its own operation of
// the session. When the table already exists nothing at all is done to it, and
// the result is false.
bool createTable(StepSession& session, std::string_view table, std::span<const ColumnSpec> columns,
                 std::span<const db::IndexDef> indexes);

// Adds a system text group below `parentId` (0 for a top-level group) that can
// be neither deleted nor renamed, and returns the "ID" it was given.
std::int64_t addGroup(db::Database& database, std::int64_t parentId, std::string_view name,
                      std::int64_t type);

} // namespace korvana::dbupgrade
