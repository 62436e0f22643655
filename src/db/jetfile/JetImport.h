#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvana::db::jetfile {

struct JetImportReport {
    // "Table: N rows", one line per table brought over.
    std::vector<std::string> tables;
    // Every table, column, index, property or other object left out or
    // changed, by name and why.
    std::vector<std::string> notes;
    std::int64_t rows = 0;
};

// Makes the new project database `projectFile` from the Jet 4.0 database
// `jetFile`: every user table with its columns, indexes and the column
// properties libmdb exposes, and every row. The result is written to a
// temporary file beside `projectFile` and given its name only when all of it
// was read and written, and never over an existing file; a failure leaves
// nothing behind. The Jet file is only read. Raises korvana::Error naming the
// file and why (errors::databaseExists for an existing `projectFile`,
// errors::notADatabase for a file libmdb cannot read).
JetImportReport importJetFile(const std::string& jetFile, const std::string& projectFile);

} // namespace korvana::db::jetfile
