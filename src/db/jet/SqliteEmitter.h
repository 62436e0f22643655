#pragma once

#include "db/jet/JetAst.h"
#include "db/jet/JetSql.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvana::db::jet {

// Writes parsed Jet expressions over one table as SQLite SQL. Literals become
// numbered parameters (?1, ?2, ...; a parameter may appear more than once when
// an operand has to be repeated), columns are resolved against the table and
// written in its own spelling, so no text of the statement reaches the SQL.
//
// Jet semantics kept: '&' treats Null as empty text (Null only when every
// operand is Null); a comparison, IsNull() or NOT used as a value yields -1/0;
// text comparisons ignore case; a value stored into a Boolean column becomes
// -1 or 0.
class SqliteEmitter {
  public:
    explicit SqliteEmitter(const TableInfo& table) : table_(table) {}

    // For WHERE: a truth value in SQLite's sense.
    std::string condition(const Expr& expr);
    // For select lists, ORDER BY and function arguments.
    std::string value(const Expr& expr);
    // For ORDER BY: text sorts without regard to case.
    std::string orderValue(const Expr& expr);
    // The value written into `target` by UPDATE or INSERT.
    std::string assignedValue(const Expr& expr, const ColumnInfo& target);
    // The table's column that a Column expression names; raises an error naming it.
    const ColumnInfo& resolveColumn(const Expr& column) const;

    std::vector<SqlValue> takeParameters() { return std::move(parameters_); }

  private:
    enum class Shape { Predicate, Text, Number, Date, Other };
    struct Emitted {
        std::string sql;
        Shape shape;
        bool column = false; // a bare column: carries the column's own collation
    };

    // Every expression's SQL passes here, which keeps the total in bounds.
    Emitted emit(const Expr& expr);
    Emitted emitNode(const Expr& expr);
    Emitted emitBinary(const Expr& expr);
    Emitted emitConcat(const Expr& expr);
    Emitted emitFunction(const Expr& expr);
    Emitted emitDate(const Expr& literal);
    Emitted emitLike(const Expr& expr);
    std::string asValue(const Emitted& emitted) const;
    std::string valueOf(const Expr& expr) { return asValue(emit(expr)); }
    std::string parameter(SqlValue value);

    const TableInfo& table_;
    std::vector<SqlValue> parameters_;
    std::size_t produced_ = 0; // bytes of SQL written so far, for all nodes
};

// "name" with embedded quotes doubled: an identifier SQLite reads back unchanged.
std::string quoteIdentifier(const std::string& name);

} // namespace korvana::db::jet
