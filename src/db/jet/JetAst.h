#pragma once

#include "db/jet/JetSql.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The parsed form of a Jet statement. Names are kept as written; they are
// resolved against the schema only when SQL is emitted.
namespace korvana::db::jet {

enum class ExprKind {
    Literal,  // value
    Column,   // qualifier (may be empty) and name
    Unary,    // op, args[0]
    Binary,   // op, args[0], args[1]
    Concat,   // args: the operands of a chain of '&'
    Function, // name, args
    IsNull,   // args[0]; negated for IS NOT NULL
    Between,  // args[0] BETWEEN args[1] AND args[2]; negated for NOT BETWEEN
    InList,   // args[0] IN (args[1..]); negated for NOT IN
    Like,     // args[0] LIKE args[1] (a text literal); negated for NOT LIKE
};

enum class Op { None, Or, And, Not, Eq, Ne, Lt, Le, Gt, Ge, Add, Sub, Mul, Div, Mod, Neg };

struct Expr {
    ExprKind kind = ExprKind::Literal;
    std::size_t position = 0; // offset in the statement, for error messages
    Op op = Op::None;
    SqlValue value;
    std::string qualifier;
    std::string name;
    bool negated = false;
    std::vector<std::unique_ptr<Expr>> args;
    std::size_t depth = 1; // levels of the tree below and including this node
};

using ExprPtr = std::unique_ptr<Expr>;

struct OrderTerm {
    ExprPtr expr;
    bool descending = false;
};

struct Assignment {
    ExprPtr target; // always a Column
    ExprPtr value;
};

struct Statement {
    enum class Kind { Select, Update, Delete, Insert };
    Kind kind = Kind::Select;
    std::string table;
    std::size_t tablePosition = 0;
    bool selectAll = false;
    std::vector<ExprPtr> selectList;
    std::vector<Assignment> assignments;
    std::vector<ExprPtr> insertColumns; // Columns
    std::vector<ExprPtr> insertValues;
    ExprPtr where; // may be null
    std::vector<OrderTerm> orderBy;
};

} // namespace korvana::db::jet
