// The parts of Recordset that search with criteria of the Jet dialect.
#include "db/DbErrors.h"
#include "db/JetSchemaView.h"
#include "db/Recordset.h"
#include "db/SqlNames.h"
#include "platform/Error.h"

namespace korvana::db {

bool Recordset::findFirst(std::string_view criteria) {
    return findFrom(criteria, std::nullopt);
}

bool Recordset::findNext(std::string_view criteria) {
    return findFrom(criteria, placedRow());
}

bool Recordset::findFrom(std::string_view criteria, std::optional<std::int64_t> after) {
    if (type_ != RecordsetType::Dynaset) {
        throw Error("FindFirst and FindNext need a dynaset ('" + table_.name + "')",
                    errors::operationNotSupported);
    }
    const jet::CompiledSql compiled =
        jet::compileCriteria(criteria, JetSchemaView::describe(table_));
    // A dynaset keeps the stored order, which is rowid order plus records
    // added while it is open; those are searched in the same order.
    const auto next = std::to_string(compiled.parameters.size() + 1);
    std::string sql =
        "SELECT rowid FROM " + quoteIdentifier(table_.name) + " WHERE (" + compiled.sql + ")";
    if (after) {
        sql += " AND rowid > ?" + next;
    }
    sql += " ORDER BY rowid LIMIT 1";
    auto query = connection_->prepare(sql);
    bindJetParameters(query, compiled.parameters);
    if (after) {
        query.bind(static_cast<int>(compiled.parameters.size() + 1), *after);
    }
    noMatch_ = !query.step();
    if (noMatch_) {
        return false;
    }
    placeAt(query.getInt(0));
    return true;
}

} // namespace korvana::db
