#pragma once

#include "dbupgrade/StepOperations.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace korvana::dbupgrade::shapes {

// The recurring column shapes of the newer tables, so that a step's column
// list stays as short as the table it describes.

// The auto-number key every table starts with.
inline ColumnSpec autoId() {
    return {.name = "ID", .type = db::DaoType::Long, .autoNumber = true};
}

// A text column that may stay empty, stored with Unicode compression.
inline ColumnSpec text(std::string name, int size, std::optional<std::string> description = {},
                       std::optional<std::string> defaultValue = {}) {
    return {.name = std::move(name),
            .type = db::DaoType::Text,
            .size = size,
            .allowZeroLength = true,
            .defaultValue = std::move(defaultValue),
            .unicodeCompression = true,
            .description = std::move(description)};
}

// A non-text column; `defaultValue` is the expression as stored ("0", "True").
inline ColumnSpec plain(std::string name, db::DaoType type,
                        std::optional<std::string> defaultValue = {},
                        std::optional<std::string> description = {}, bool required = false) {
    return {.name = std::move(name),
            .type = type,
            .required = required,
            .defaultValue = std::move(defaultValue),
            .description = std::move(description)};
}

inline db::IndexDef index(std::string name, std::initializer_list<std::string> fields, bool primary,
                          bool unique) {
    return {.name = std::move(name), .fields = fields, .primary = primary, .unique = unique};
}

inline db::IndexDef primaryId() {
    return index("ID", {"ID"}, true, true);
}

} // namespace korvana::dbupgrade::shapes
