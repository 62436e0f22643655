#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The Jet SQL dialect that project databases are upgraded with, translated to
// SQLite. The translation never copies text of the statement into the SQL it
// produces: literals become bound parameters, and identifiers are looked up in
// the schema and written out in the schema's own spelling, quoted.
namespace korvana::db::jet {

// DAO field type numbers the translator cares about (others pass as plain values).
inline constexpr int daoBoolean = 1;
inline constexpr int daoDate = 8;

// Error numbers raised by the translator, after the engine errors they stand for.
inline constexpr int syntaxErrorNumber = 3075;   // syntax error in an expression
inline constexpr int unknownTableNumber = 3078;  // the input table cannot be found
inline constexpr int unknownColumnNumber = 3061; // a name is neither column nor known

struct ColumnInfo {
    std::string name;
    int daoType;
};

struct TableInfo {
    std::string name;
    std::vector<ColumnInfo> columns;
};

// What the translator needs to know of the database: tables and their columns,
// found without regard to case.
class SchemaView {
  public:
    virtual ~SchemaView() = default;
    virtual std::optional<TableInfo> table(std::string_view name) const = 0;
};

using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;

struct CompiledSql {
    std::string sql;
    std::vector<SqlValue> parameters; // bound to ?1, ?2, ... in this order
    // For a SELECT, the result columns in order; an expression has daoType 0
    // and a made-up name ("Expr1000", ...).
    std::vector<ColumnInfo> columns;
};

// Translates one statement: SELECT, UPDATE, DELETE or INSERT.
// Throws korvana::Error naming the offending word, table or column for anything
// outside the dialect.
CompiledSql compileStatement(std::string_view jetSql, const SchemaView& schema);

// An UPDATE that sets one column of every row ("UPDATE T SET C = <value>",
// no WHERE): the table and column in the schema's spelling, and the value as
// an SQLite expression over the table's columns.
struct WholeColumnAssignment {
    std::string table;
    std::string column;
    std::string value;
    std::vector<SqlValue> parameters; // bound to ?1, ?2, ... in this order
};

// Nothing for a statement of any other shape; errors as `compileStatement`.
std::optional<WholeColumnAssignment> compileWholeColumnAssignment(std::string_view jetSql,
                                                                  const SchemaView& schema);

// Translates a criteria string as used by FindFirst/FindNext into an SQLite
// expression over `table` (suitable after WHERE); columns must belong to it.
CompiledSql compileCriteria(std::string_view criteria, const TableInfo& table);

} // namespace korvana::db::jet
