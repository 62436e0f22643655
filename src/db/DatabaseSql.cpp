// The parts of Database that run statements of the Jet dialect.
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/DbErrors.h"
#include "db/JetSchemaView.h"
#include "db/ValueBinding.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <sqlite3.h>

namespace korvana::db {

namespace {

bool isSelect(const jet::CompiledSql& compiled) {
    return startsWithIgnoreCase(trim(compiled.sql), "SELECT") ||
           startsWithIgnoreCase(trim(compiled.sql), "WITH");
}

} // namespace

std::int64_t Database::execute(std::string_view jetSql) {
    auto& db = connection();
    const Catalogue catalogue(db);
    const JetSchemaView schema(catalogue);
    const jet::CompiledSql compiled = jet::compileStatement(jetSql, schema);
    if (isSelect(compiled)) {
        throw Error("A SELECT query cannot be executed: '" + std::string(jetSql) + "'",
                    errors::notExecutable);
    }
    sqlite::Savepoint savepoint(db);
    auto statement = db.prepare(compiled.sql);
    bindJetParameters(statement, compiled.parameters);
    statement.run();
    const std::int64_t changed = sqlite3_changes64(db.handle());
    savepoint.release();
    return changed;
}

QueryResult Database::query(std::string_view jetSql) {
    auto& db = connection();
    const Catalogue catalogue(db);
    const JetSchemaView schema(catalogue);
    const jet::CompiledSql compiled = jet::compileStatement(jetSql, schema);
    if (!isSelect(compiled)) {
        throw Error("Only a SELECT query returns rows: '" + std::string(jetSql) + "'",
                    errors::invalidArgument);
    }
    auto statement = db.prepare(compiled.sql);
    bindJetParameters(statement, compiled.parameters);
    QueryResult result;
    std::vector<DaoType> types;
    for (int i = 0; i < statement.columnCount(); ++i) {
        const auto index = static_cast<std::size_t>(i);
        const bool described = index < compiled.columns.size();
        result.columns.push_back(described ? compiled.columns[index].name
                                           : statement.columnName(i));
        const auto type =
            described ? daoTypeFromNumber(compiled.columns[index].daoType) : std::nullopt;
        // An expression has no DAO type: its values come back as SQLite holds them.
        types.push_back(type.value_or(DaoType::Memo));
    }
    while (statement.step()) {
        std::vector<Value> row;
        for (std::size_t i = 0; i < types.size(); ++i) {
            row.push_back(readValue(statement, static_cast<int>(i), types[i]));
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

} // namespace korvana::db
