#include "db/DbErrors.h"
#include "db/DefaultExpression.h"
#include "db/SchemaWriter.h"
#include "db/SqlNames.h"
#include "db/UnstoredColumns.h"
#include "platform/Error.h"

#include <string>

namespace korvana::db {

namespace {

constexpr const char* heldRows = "temp.kv_remake";

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

} // namespace

void SchemaWriter::remake(const TableDef& current, const TableDef& target) {
    const FieldDef* key = target.autoNumberField();
    if (key && !current.findField(key->name)) {
        throw Error("An auto number cannot be added to table '" + target.name +
                        "' while it is made anew",
                    errors::invalidArgument);
    }
    const auto counter = autoNumberCounter(current.name);
    // The held columns have no type, so no affinity changes a value on its
    // way through.
    std::vector<std::string> held{"kv_rowid"};
    std::vector<std::string> from{"rowid"};
    std::vector<std::string> into;
    std::vector<std::string> values;
    for (const auto& field : target.fields) {
        into.push_back(quoteIdentifier(field.name));
        if (const FieldDef* old = current.findField(field.name)) {
            held.push_back("c" + std::to_string(held.size()));
            from.push_back(quoteIdentifier(old->name));
            values.push_back(held.back());
        } else {
            // Stored rows do not get the default of a new field, as when it
            // is appended on its own: Null, False for a Boolean with a default.
            const bool isFalse =
                field.type == DaoType::Boolean && defaultLiteral(field, target.name);
            values.push_back(isFalse ? "0" : "NULL");
        }
    }
    db_.exec("CREATE TABLE " + std::string(heldRows) + " (" + joined(held) + ")");
    db_.exec("INSERT INTO " + std::string(heldRows) + " SELECT " + joined(from) + " FROM " +
             quoteIdentifier(current.name));
    // The table's indexes and rule triggers go with it.
    db_.exec("DROP TABLE " + quoteIdentifier(current.name));
    createBareTable(target, target.name);
    if (!key) {
        // Keep record identities as they were.
        into.insert(into.begin(), "rowid");
        values.insert(values.begin(), "kv_rowid");
    }
    db_.exec("INSERT INTO " + quoteIdentifier(target.name) + " (" + joined(into) + ") SELECT " +
             joined(values) + " FROM " + heldRows + " ORDER BY kv_rowid");
    db_.exec("DROP TABLE " + std::string(heldRows));
    for (const auto& index : target.indexes) {
        createIndexOn(target, index, target.name, false);
    }
    writeTriggers(target);
    UnstoredColumns(db_).rewritten(target.name);
    restoreAutoNumberCounter(target, counter);
}

} // namespace korvana::db
