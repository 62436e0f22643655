#pragma once

#include "db/DaoType.h"
#include "db/Value.h"

#include <string>

namespace korvana::db {

// A named property of a field, as created with CreateProperty: the name, the
// type it was created with and its value ("UnicodeCompression" Boolean True,
// "Description" Text ...).
struct Property {
    std::string name;
    DaoType type = DaoType::Text;
    Value value;

    static Property boolean(std::string name, bool value) {
        return {std::move(name), DaoType::Boolean, Value(value)};
    }
    static Property text(std::string name, std::string value) {
        return {std::move(name), DaoType::Text, Value(std::move(value))};
    }
};

} // namespace korvana::db
