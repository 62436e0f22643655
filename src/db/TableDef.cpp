#include "db/TableDef.h"

#include "db/DbErrors.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

namespace korvana::db {

const FieldDef* TableDef::findField(std::string_view fieldName) const {
    for (const auto& f : fields) {
        if (equalsIgnoreCase(f.name, fieldName)) {
            return &f;
        }
    }
    return nullptr;
}

FieldDef* TableDef::findField(std::string_view fieldName) {
    return const_cast<FieldDef*>(static_cast<const TableDef*>(this)->findField(fieldName));
}

const FieldDef& TableDef::field(std::string_view fieldName) const {
    if (const auto* found = findField(fieldName)) {
        return *found;
    }
    throw Error("Field '" + std::string(fieldName) + "' not found in table '" + name + "'",
                errors::itemNotFound);
}

FieldDef& TableDef::field(std::string_view fieldName) {
    return const_cast<FieldDef&>(static_cast<const TableDef*>(this)->field(fieldName));
}

const IndexDef* TableDef::findIndex(std::string_view indexName) const {
    for (const auto& i : indexes) {
        if (equalsIgnoreCase(i.name, indexName)) {
            return &i;
        }
    }
    return nullptr;
}

IndexDef* TableDef::findIndex(std::string_view indexName) {
    return const_cast<IndexDef*>(static_cast<const TableDef*>(this)->findIndex(indexName));
}

const IndexDef& TableDef::index(std::string_view indexName) const {
    if (const auto* found = findIndex(indexName)) {
        return *found;
    }
    throw Error("Index '" + std::string(indexName) + "' not found in table '" + name + "'",
                errors::itemNotFound);
}

const FieldDef* TableDef::autoNumberField() const {
    for (const auto& f : fields) {
        if (f.autoNumber) {
            return &f;
        }
    }
    return nullptr;
}

} // namespace korvana::db
