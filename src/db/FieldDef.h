#pragma once

#include "db/DaoType.h"
#include "db/Property.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::db {

// The definition of one column. A new definition is filled and appended to a
// table; a definition read back from a table reflects what is stored.
struct FieldDef {
    std::string name;
    DaoType type = DaoType::Text;
    // Characters for Text and fixed Text; ignored for other types.
    int size = maxTextSize;
    bool required = false;
    bool allowZeroLength = false;
    // The default-value expression exactly as written ("\"\"", "0", "True",
    // "\"<ProjectDir>\""); nothing means no default.
    std::optional<std::string> defaultValue;
    bool autoNumber = false;
    // Nothing on a new definition means "after the last column".
    std::optional<int> ordinalPosition;
    std::vector<Property> properties;

    FieldDef() = default;
    FieldDef(std::string fieldName, DaoType fieldType, int fieldSize = maxTextSize)
        : name(std::move(fieldName)), type(fieldType), size(fieldSize) {}

    // Case-insensitive, as every name of the database.
    const Property* findProperty(std::string_view propertyName) const;
    Property* findProperty(std::string_view propertyName);
};

} // namespace korvana::db
