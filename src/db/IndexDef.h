#pragma once

#include <string>
#include <vector>

namespace korvana::db {

// An index: its name, its fields in key order and its flags. Primary implies a
// unique index whose fields may not be Null; Required forbids Null in the
// indexed fields.
struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool primary = false;
    bool unique = false;
    bool required = false;

    bool enforcesUniqueness() const { return primary || unique; }
    bool forbidsNull() const { return primary || required; }
};

} // namespace korvana::db
