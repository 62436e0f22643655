#pragma once

#include "db/FieldDef.h"
#include "db/IndexDef.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana::db {

// A table definition. Before it is appended to a database it is a plain
// description; read back from a database, its fields are in column order.
struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    TableDef() = default;
    explicit TableDef(std::string tableName) : name(std::move(tableName)) {}

    // Lookups ignore case; the throwing forms raise korvana::Error naming the
    // table and the missing item.
    const FieldDef* findField(std::string_view fieldName) const;
    FieldDef* findField(std::string_view fieldName);
    const FieldDef& field(std::string_view fieldName) const;
    FieldDef& field(std::string_view fieldName);
    const IndexDef* findIndex(std::string_view indexName) const;
    IndexDef* findIndex(std::string_view indexName);
    const IndexDef& index(std::string_view indexName) const;
    const FieldDef* autoNumberField() const;
};

} // namespace korvana::db
