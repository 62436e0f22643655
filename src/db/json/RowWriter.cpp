#include "db/json/RowWriter.h"

#include "db/DbErrors.h"
#include "db/SqlNames.h"
#include "db/ValueBinding.h"
#include "platform/Error.h"

namespace korvana::db::json {

void RowWriter::insert(const RowValues& row) {
    std::vector<const FieldDef*> fields;
    fields.reserve(row.size());
    for (const auto& [name, value] : row) {
        const FieldDef* field = table_.findField(name);
        if (field == nullptr) {
            throw Error("Table '" + table_.name + "' has no column '" + name + "'",
                        errors::itemNotFound);
        }
        fields.push_back(field);
    }
    sqlite::Statement& statement = statementFor(fields);
    statement.reset();
    for (std::size_t i = 0; i < row.size(); ++i) {
        bindValue(statement, static_cast<int>(i + 1),
                  normaliseForField(row[i].second, fields[i]->type));
    }
    try {
        statement.run();
    } catch (const Error& error) {
        throw Error("Cannot add a row to table '" + table_.name + "': " + error.what(),
                    error.number());
    }
}

sqlite::Statement& RowWriter::statementFor(const std::vector<const FieldDef*>& fields) {
    std::string columns;
    std::string values;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        columns += (i > 0 ? ", " : "") + quoteIdentifier(fields[i]->name);
        values += (i > 0 ? ", ?" : "?") + std::to_string(i + 1);
    }
    const std::string sql = fields.empty()
                                ? "INSERT INTO " + quoteIdentifier(table_.name) + " DEFAULT VALUES"
                                : "INSERT INTO " + quoteIdentifier(table_.name) + " (" + columns +
                                      ") VALUES (" + values + ")";
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        found = statements_.emplace(sql, db_.prepare(sql)).first;
    }
    return found->second;
}

} // namespace korvana::db::json
