#include "dbupgrade/StepOperations.h"

#include "db/DbErrors.h"
#include "db/Property.h"
#include "db/Recordset.h"
#include "dbupgrade/UpgradeStep.h"
#include "platform/Error.h"

namespace korvana::dbupgrade {

namespace {

constexpr std::string_view unicodeCompression = "UnicodeCompression";

} // namespace

db::FieldDef fieldDef(const ColumnSpec& column) {
    db::FieldDef field(column.name, column.type, column.size);
    field.required = column.required;
    field.allowZeroLength = column.allowZeroLength;
    field.defaultValue = column.defaultValue;
    field.autoNumber = column.autoNumber;
    field.ordinalPosition = column.position;
    if (column.unicodeCompression) {
        field.properties.push_back(db::Property::boolean(std::string(unicodeCompression), true));
    }
    if (column.description) {
        field.properties.push_back(db::Property::text("Description", *column.description));
    }
    return field;
}

void addColumn(db::Database& database, std::string_view table, const ColumnSpec& column) {
    database.appendField(table, fieldDef(column));
}

void changeColumn(db::Database& database, std::string_view table, const ColumnSpec& replacement,
                  std::string_view copyStatement) {
    database.changeField(table, fieldDef(replacement), copyStatement);
}

void setUnicodeCompression(db::Database& database, std::string_view table, std::string_view field) {
    const db::TableDef definition = database.tableDef(table);
    if (definition.field(field).findProperty(unicodeCompression)) {
        database.setProperty(table, field, unicodeCompression, db::Value(true));
    } else {
        database.appendProperty(table, field,
                                db::Property::boolean(std::string(unicodeCompression), true));
    }
}

void addIndex(db::Database& database, std::string_view table, const db::IndexDef& index) {
    database.appendIndex(table, index);
}

bool createTable(StepSession& session, std::string_view table, std::span<const ColumnSpec> columns,
                 std::span<const db::IndexDef> indexes) {
    if (columns.empty()) {
        return false;
    }
    const std::string name(table);
    const bool created = session.run("create table " + name, [&] {
        db::TableDef definition(name);
        definition.fields.push_back(fieldDef(columns.front()));
        session.db().appendTableDef(definition);
    });
    // An existing table may hold data and columns of its own; leave it be.
    if (!created) {
        return false;
    }
    for (const auto& column : columns.subspan(1)) {
        session.run("add column " + name + "." + column.name,
                    [&] { addColumn(session.db(), name, column); });
    }
    for (const auto& index : indexes) {
        session.run("add index " + name + "." + index.name,
                    [&] { addIndex(session.db(), name, index); });
    }
    return true;
}

std::int64_t addGroup(db::Database& database, std::int64_t parentId, std::string_view name,
                      std::int64_t type) {
    db::Recordset groups = database.openRecordset("TidxGroups", db::RecordsetType::Dynaset);
    groups.addNew();
    groups.setField("ParentID", db::Value(parentId));
    groups.setField("Name", db::Value(std::string(name)));
    groups.setField("Type", db::Value(type));
    groups.setField("Delete", db::Value(false));
    groups.setField("Rename", db::Value(false));
    groups.update();
    groups.setBookmark(groups.lastModified());
    const db::Value id = groups.field("ID");
    if (const auto* number = std::get_if<std::int64_t>(&id)) {
        return *number;
    }
    throw Error("The new text group '" + std::string(name) + "' got no ID",
                db::errors::invalidArgument);
}

} // namespace korvana::dbupgrade
