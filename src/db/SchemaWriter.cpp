#include "db/SchemaWriter.h"

#include "db/DbErrors.h"
#include "db/DefaultExpression.h"
#include "db/SqlNames.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <optional>

namespace korvana::db {

namespace {

constexpr const char* rebuildTable = "kv_rebuild";

std::string declaredType(const FieldDef& field) {
    switch (field.type) {
    case DaoType::Boolean:
        return "BOOLEAN";
    case DaoType::Byte:
        return "TINYINT";
    case DaoType::Integer:
        return "SMALLINT";
    case DaoType::Long:
        return "INTEGER";
    case DaoType::Currency:
        return "CURRENCY";
    case DaoType::Single:
        return "FLOAT";
    case DaoType::Double:
        return "DOUBLE";
    case DaoType::DateTime:
        return "DATETIME";
    case DaoType::Text:
        return "VARCHAR(" + std::to_string(field.size) + ")";
    case DaoType::LongBinary:
        return "BLOB";
    case DaoType::Memo:
        return "TEXT";
    case DaoType::FixedText:
        return "CHAR(" + std::to_string(field.size) + ")";
    }
    return "BLOB";
}

std::string columnSql(const FieldDef& field, std::string_view table) {
    std::string sql = quoteIdentifier(field.name) + " ";
    if (field.autoNumber) {
        return sql + "INTEGER PRIMARY KEY AUTOINCREMENT";
    }
    sql += declaredType(field);
    auto literal = defaultLiteral(field, table);
    // Jet has no Null Booleans: a Boolean without a default is False.
    if (!literal && field.type == DaoType::Boolean) {
        literal = "0";
    }
    if (literal) {
        sql += " DEFAULT " + *literal;
    }
    if (isTextType(field.type)) {
        sql += " COLLATE NOCASE";
    }
    return sql;
}

struct Rule {
    std::string field;
    std::string condition; // over NEW.<field>
    std::string message;
};

std::vector<Rule> rulesOf(const TableDef& definition) {
    std::vector<Rule> rules;
    const std::string& table = definition.name;
    for (const auto& field : definition.fields) {
        const std::string column = "NEW." + quoteIdentifier(field.name);
        const std::string where = "'" + table + "." + field.name + "'";
        if (field.autoNumber) {
            continue;
        }
        if (field.required) {
            rules.push_back({field.name, column + " IS NULL",
                             "Field " + where + " cannot contain a Null value (it is required)"});
        }
        if (isIntegerType(field.type)) {
            rules.push_back({field.name, "typeof(" + column + ") NOT IN ('integer', 'null')",
                             "Field " + where + " takes whole numbers only"});
        } else if (isNumericType(field.type)) {
            rules.push_back({field.name,
                             "typeof(" + column + ") NOT IN ('integer', 'real', 'null')",
                             "Field " + where + " takes numbers only"});
        }
        switch (field.type) {
        case DaoType::Byte:
            rules.push_back({field.name, column + " NOT BETWEEN 0 AND 255",
                             "Field " + where + " takes numbers from 0 to 255"});
            break;
        case DaoType::Integer:
            rules.push_back({field.name, column + " NOT BETWEEN -32768 AND 32767",
                             "Field " + where + " takes numbers from -32768 to 32767"});
            break;
        case DaoType::Long:
            rules.push_back({field.name, column + " NOT BETWEEN -2147483648 AND 2147483647",
                             "Field " + where + " takes 32-bit numbers"});
            break;
        default:
            break;
        }
        if (isTextType(field.type) && !field.allowZeroLength) {
            rules.push_back({field.name, column + " = ''",
                             "Field " + where + " cannot be a zero-length string"});
        }
        if (hasSize(field.type)) {
            rules.push_back({field.name, "length(" + column + ") > " + std::to_string(field.size),
                             "Field " + where + " holds at most " + std::to_string(field.size) +
                                 " characters"});
        }
    }
    for (const auto& index : definition.indexes) {
        if (!index.forbidsNull()) {
            continue;
        }
        for (const auto& field : index.fields) {
            const FieldDef* f = definition.findField(field);
            if (f && f->autoNumber) {
                continue;
            }
            rules.push_back({field, "NEW." + quoteIdentifier(field) + " IS NULL",
                             "Index '" + index.name + "' of table '" + table +
                                 "' does not allow Null in field '" + field + "'"});
        }
    }
    return rules;
}

std::string columnList(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names) {
        if (!list.empty()) {
            list += ", ";
        }
        list += quoteIdentifier(name);
    }
    return list;
}

} // namespace

void SchemaWriter::sortFields(std::vector<FieldDef>& fields, std::string_view moved) {
    std::stable_sort(fields.begin(), fields.end(), [&](const FieldDef& a, const FieldDef& b) {
        const int pa = a.ordinalPosition.value_or(0);
        const int pb = b.ordinalPosition.value_or(0);
        if (pa != pb) {
            return pa < pb;
        }
        return !moved.empty() && equalsIgnoreCase(a.name, moved) &&
               !equalsIgnoreCase(b.name, moved);
    });
}

void SchemaWriter::createBareTable(const TableDef& definition, std::string_view sqlName) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(sqlName) + " (";
    bool first = true;
    for (const auto& field : definition.fields) {
        if (!first) {
            sql += ", ";
        }
        first = false;
        sql += columnSql(field, definition.name);
    }
    sql += ")";
    db_.exec(sql);
}

void SchemaWriter::createTable(const TableDef& definition) {
    createBareTable(definition, definition.name);
    for (const auto& index : definition.indexes) {
        createIndex(definition, index);
    }
    writeTriggers(definition);
}

void SchemaWriter::createIndex(const TableDef& definition, const IndexDef& index) {
    const std::string table = quoteIdentifier(definition.name);
    if (index.forbidsNull()) {
        std::string condition;
        for (const auto& field : index.fields) {
            condition += (condition.empty() ? "" : " OR ") + quoteIdentifier(field) + " IS NULL";
        }
        auto query = db_.prepare("SELECT 1 FROM " + table + " WHERE " + condition + " LIMIT 1");
        if (query.step()) {
            throw Error("Index '" + index.name + "' of table '" + definition.name +
                            "' cannot be created: the table holds Null values in its fields",
                        errors::duplicateKey);
        }
    }
    const std::string sql = std::string("CREATE ") + (index.enforcesUniqueness() ? "UNIQUE " : "") +
                            "INDEX " + quoteIdentifier(indexSqlName(definition.name, index.name)) +
                            " ON " + table + " (" + columnList(index.fields) + ")";
    try {
        db_.exec(sql);
    } catch (const Error& error) {
        if (!index.enforcesUniqueness()) {
            throw;
        }
        throw Error("Index '" + index.name + "' of table '" + definition.name +
                        "' cannot be created: the table holds duplicate values (" + error.what() +
                        ")",
                    errors::duplicateKey);
    }
}

void SchemaWriter::dropIndex(std::string_view table, std::string_view index) {
    db_.exec("DROP INDEX " + quoteIdentifier(indexSqlName(table, index)));
}

void SchemaWriter::addColumn(const TableDef& after, const FieldDef& field) {
    const std::string table = quoteIdentifier(after.name);
    const bool hadRows = hasRows(after.name);
    db_.exec("ALTER TABLE " + table + " ADD COLUMN " + columnSql(field, after.name));
    // SQLite lets stored rows read the new column's default; Jet leaves them Null
    // (Booleans False), and the upgrade steps rely on telling old rows apart.
    auto literal = defaultLiteral(field, after.name);
    if (hadRows && literal) {
        const bool booleanFalse = field.type == DaoType::Boolean && *literal == "0";
        if (!booleanFalse) {
            const std::string value = field.type == DaoType::Boolean ? "0" : "NULL";
            db_.exec("UPDATE " + table + " SET " + quoteIdentifier(field.name) + " = " + value);
        }
    }
    createFieldTriggers(after, field.name);
}

void SchemaWriter::renameColumn(const TableDef& after, std::string_view oldName,
                                std::string_view newName) {
    dropFieldTriggers(after.name, oldName);
    db_.exec("ALTER TABLE " + quoteIdentifier(after.name) + " RENAME COLUMN " +
             quoteIdentifier(oldName) + " TO " + quoteIdentifier(newName));
    createFieldTriggers(after, newName);
}

void SchemaWriter::dropColumn(const TableDef& after, std::string_view field) {
    dropFieldTriggers(after.name, field);
    db_.exec("ALTER TABLE " + quoteIdentifier(after.name) + " DROP COLUMN " +
             quoteIdentifier(field));
}

void SchemaWriter::rebuild(const TableDef& current, const TableDef& target) {
    std::optional<std::int64_t> sequence;
    if (db_.tableExists("sqlite_sequence")) {
        auto query = db_.prepare("SELECT seq FROM sqlite_sequence WHERE name = ?1");
        query.bind(1, current.name);
        if (query.step()) {
            sequence = query.getInt(0);
        }
    }
    dropTriggers(current.name);
    createBareTable(target, rebuildTable);

    std::vector<std::string> into;
    std::vector<std::string> from;
    if (!target.autoNumberField()) {
        // Keep record identities as they were.
        into.emplace_back("rowid");
        from.emplace_back("rowid");
    }
    for (const auto& field : target.fields) {
        if (const FieldDef* old = current.findField(field.name)) {
            into.push_back(quoteIdentifier(field.name));
            from.push_back(quoteIdentifier(old->name));
        }
    }
    auto join = [](const std::vector<std::string>& parts) {
        std::string joined;
        for (const auto& part : parts) {
            joined += (joined.empty() ? "" : ", ") + part;
        }
        return joined;
    };
    if (!into.empty()) {
        db_.exec("INSERT INTO " + quoteIdentifier(rebuildTable) + " (" + join(into) + ") SELECT " +
                 join(from) + " FROM " + quoteIdentifier(current.name));
    }
    db_.exec("DROP TABLE " + quoteIdentifier(current.name));
    db_.exec("ALTER TABLE " + quoteIdentifier(rebuildTable) + " RENAME TO " +
             quoteIdentifier(target.name));
    for (const auto& index : target.indexes) {
        createIndex(target, index);
    }
    writeTriggers(target);
    if (sequence && target.autoNumberField()) {
        auto update = db_.prepare("UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1");
        update.bind(1, target.name);
        update.bind(2, *sequence);
        update.run();
        if (db_.changes() == 0) {
            auto insert = db_.prepare("INSERT INTO sqlite_sequence (name, seq) VALUES (?1, ?2)");
            insert.bind(1, target.name);
            insert.bind(2, *sequence);
            insert.run();
        }
    }
}

void SchemaWriter::writeTriggers(const TableDef& definition) {
    dropTriggers(definition.name);
    for (const auto& field : definition.fields) {
        createFieldTriggers(definition, field.name);
    }
}

void SchemaWriter::writeFieldTriggers(const TableDef& definition, std::string_view field) {
    dropFieldTriggers(definition.name, field);
    createFieldTriggers(definition, field);
}

// Each field has its own triggers, so that a change to one field never has to
// touch the schema entries of the others.
void SchemaWriter::createFieldTriggers(const TableDef& definition, std::string_view field) {
    std::string body;
    for (const auto& rule : rulesOf(definition)) {
        if (equalsIgnoreCase(rule.field, field)) {
            body += " SELECT RAISE(ABORT, " + quoteLiteral(rule.message) + ") WHERE " +
                    rule.condition + ";";
        }
    }
    if (body.empty()) {
        return;
    }
    const std::string table = quoteIdentifier(definition.name);
    db_.exec("CREATE TRIGGER " + quoteIdentifier(insertTriggerName(definition.name, field)) +
             " BEFORE INSERT ON " + table + " FOR EACH ROW BEGIN" + body + " END");
    // An update is checked for the fields it assigns, so rows stored before a
    // rule was given can still be changed in their other fields.
    db_.exec("CREATE TRIGGER " + quoteIdentifier(updateTriggerName(definition.name, field)) +
             " BEFORE UPDATE OF " + quoteIdentifier(field) + " ON " + table +
             " FOR EACH ROW BEGIN" + body + " END");
}

void SchemaWriter::dropFieldTriggers(std::string_view table, std::string_view field) {
    db_.exec("DROP TRIGGER IF EXISTS " + quoteIdentifier(insertTriggerName(table, field)));
    db_.exec("DROP TRIGGER IF EXISTS " + quoteIdentifier(updateTriggerName(table, field)));
}

void SchemaWriter::dropTriggers(std::string_view table) {
    std::vector<std::string> names;
    auto query =
        db_.prepare("SELECT name FROM sqlite_master WHERE type = 'trigger'"
                    " AND tbl_name = ?1 COLLATE NOCASE AND name LIKE 'kv\\_%' ESCAPE '\\'");
    query.bind(1, table);
    while (query.step()) {
        names.push_back(query.getText(0));
    }
    for (const auto& name : names) {
        db_.exec("DROP TRIGGER " + quoteIdentifier(name));
    }
}

bool SchemaWriter::hasRows(std::string_view table) {
    auto query = db_.prepare("SELECT 1 FROM " + quoteIdentifier(table) + " LIMIT 1");
    return query.step();
}

} // namespace korvana::db
