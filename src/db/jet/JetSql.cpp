#include "db/jet/JetSql.h"

#include "db/jet/JetLexer.h"
#include "db/jet/JetParser.h"
#include "db/jet/SqliteEmitter.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

namespace korvana::db::jet {
namespace {

void refuseDuplicate(std::vector<const ColumnInfo*>& seen, const ColumnInfo& column,
                     const std::string& table) {
    for (const ColumnInfo* other : seen) {
        if (other == &column) {
            throw Error("Column '" + column.name + "' of table '" + table +
                            "' is named twice in the statement",
                        syntaxErrorNumber);
        }
    }
    seen.push_back(&column);
}

std::string compileSelect(const Statement& statement, const TableInfo& table,
                          SqliteEmitter& emitter, std::vector<ColumnInfo>& columns) {
    std::string sql = "SELECT ";
    if (statement.selectAll) {
        // Listed explicitly so that the order is the table's column order.
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            sql += (i > 0 ? ", " : "") + quoteIdentifier(table.columns[i].name);
            columns.push_back(table.columns[i]);
        }
    } else {
        int expressionNumber = 1000;
        for (std::size_t i = 0; i < statement.selectList.size(); ++i) {
            const Expr& item = *statement.selectList[i];
            sql += i > 0 ? ", " : "";
            if (item.kind == ExprKind::Column) {
                const ColumnInfo& column = emitter.resolveColumn(item);
                sql += quoteIdentifier(column.name);
                columns.push_back(column);
            } else {
                // Jet names unnamed result columns Expr1000, Expr1001, ...
                const std::string name = "Expr" + std::to_string(expressionNumber++);
                sql += emitter.value(item) + " AS " + quoteIdentifier(name);
                columns.push_back(ColumnInfo{name, 0});
            }
        }
    }
    sql += " FROM " + quoteIdentifier(table.name);
    if (statement.where) {
        sql += " WHERE " + emitter.condition(*statement.where);
    }
    for (std::size_t i = 0; i < statement.orderBy.size(); ++i) {
        const OrderTerm& term = statement.orderBy[i];
        sql += (i == 0 ? " ORDER BY " : ", ") + emitter.orderValue(*term.expr) +
               (term.descending ? " DESC" : "");
    }
    return sql;
}

std::string compileUpdate(const Statement& statement, const TableInfo& table,
                          SqliteEmitter& emitter) {
    std::string sql = "UPDATE " + quoteIdentifier(table.name) + " SET ";
    std::vector<const ColumnInfo*> seen;
    for (std::size_t i = 0; i < statement.assignments.size(); ++i) {
        const Assignment& assignment = statement.assignments[i];
        const ColumnInfo& target = emitter.resolveColumn(*assignment.target);
        refuseDuplicate(seen, target, table.name);
        sql += (i > 0 ? ", " : "") + quoteIdentifier(target.name) + " = " +
               emitter.assignedValue(*assignment.value, target);
    }
    if (statement.where) {
        sql += " WHERE " + emitter.condition(*statement.where);
    }
    return sql;
}

std::string compileInsert(const Statement& statement, const TableInfo& table,
                          SqliteEmitter& emitter) {
    std::string names;
    std::string values;
    std::vector<const ColumnInfo*> seen;
    for (std::size_t i = 0; i < statement.insertColumns.size(); ++i) {
        const ColumnInfo& target = emitter.resolveColumn(*statement.insertColumns[i]);
        refuseDuplicate(seen, target, table.name);
        names += (i > 0 ? ", " : "") + quoteIdentifier(target.name);
        values += (i > 0 ? ", " : "") + emitter.assignedValue(*statement.insertValues[i], target);
    }
    return "INSERT INTO " + quoteIdentifier(table.name) + " (" + names + ") VALUES (" + values +
           ")";
}

} // namespace

CompiledSql compileStatement(std::string_view jetSql, const SchemaView& schema) {
    const Statement statement = JetParser(JetLexer(jetSql).tokenize()).parseStatement();
    const std::optional<TableInfo> table = schema.table(statement.table);
    if (!table) {
        throw Error("Table '" + statement.table + "' not found", unknownTableNumber);
    }
    SqliteEmitter emitter(*table);
    CompiledSql compiled;
    switch (statement.kind) {
    case Statement::Kind::Select:
        compiled.sql = compileSelect(statement, *table, emitter, compiled.columns);
        break;
    case Statement::Kind::Update:
        compiled.sql = compileUpdate(statement, *table, emitter);
        break;
    case Statement::Kind::Delete:
        compiled.sql = "DELETE FROM " + quoteIdentifier(table->name);
        if (statement.where) {
            compiled.sql += " WHERE " + emitter.condition(*statement.where);
        }
        break;
    case Statement::Kind::Insert:
        compiled.sql = compileInsert(statement, *table, emitter);
        break;
    }
    compiled.parameters = emitter.takeParameters();
    return compiled;
}

std::optional<WholeColumnAssignment> compileWholeColumnAssignment(std::string_view jetSql,
                                                                  const SchemaView& schema) {
    const Statement statement = JetParser(JetLexer(jetSql).tokenize()).parseStatement();
    if (statement.kind != Statement::Kind::Update || statement.assignments.size() != 1 ||
        statement.where) {
        return std::nullopt;
    }
    const std::optional<TableInfo> table = schema.table(statement.table);
    if (!table) {
        throw Error("Table '" + statement.table + "' not found", unknownTableNumber);
    }
    SqliteEmitter emitter(*table);
    const Assignment& assignment = statement.assignments.front();
    const ColumnInfo& target = emitter.resolveColumn(*assignment.target);
    WholeColumnAssignment compiled{
        table->name, target.name, emitter.assignedValue(*assignment.value, target), {}};
    compiled.parameters = emitter.takeParameters();
    return compiled;
}

CompiledSql compileCriteria(std::string_view criteria, const TableInfo& table) {
    const ExprPtr expr = JetParser(JetLexer(criteria).tokenize()).parseCriteria();
    SqliteEmitter emitter(table);
    CompiledSql compiled;
    compiled.sql = emitter.condition(*expr);
    compiled.parameters = emitter.takeParameters();
    return compiled;
}

} // namespace korvana::db::jet
