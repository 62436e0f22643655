#pragma once

#include "db/TableDef.h"
#include "db/Value.h"

#include <memory>
#include <string>
#include <vector>

namespace korvana::db::jetfile {

// A table of a Jet file as far as the project database can hold it.
struct JetTable {
    // The columns and indexes brought over, columns in the Jet file's order.
    TableDef definition;
    // Each column, index or property left out or changed on the way, with its
    // name and why; never empty-handed silence.
    std::vector<std::string> notes;
};

class JetRows;

// A Jet 4.0 database opened for reading through mdbtools' libmdb, the one
// maintained reader of the format on Linux. Only Jet 4.0 files are opened: a
// Jet 3 or ACE file, a damaged one, or one whose catalogue libmdb cannot read
// is refused with korvana::Error (errors::notADatabase) naming the file and
// why. The file is opened read-only and never changed.
class JetFile {
  public:
    explicit JetFile(const std::string& path);
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;
    ~JetFile();

    const std::string& path() const { return path_; }
    // The user tables, in catalogue order.
    std::vector<std::string> tableNames() const;
    // What libmdb lists beside the tables but cannot bring over (queries,
    // forms, reports, macros, modules, linked tables), one line each.
    std::vector<std::string> otherObjects() const;

    // The definition of a user table. Raises korvana::Error naming the table
    // when libmdb cannot read it.
    JetTable table(const std::string& name);
    // The rows of a user table, one at a time, as values of the fields of
    // `table(name).definition` in their order.
    JetRows rows(const std::string& name);

  private:
    struct Handle;
    std::string path_;
    std::unique_ptr<Handle> handle_;
};

// Streams a table's rows: one row is held at a time, so a table of any size
// is read in the same memory.
class JetRows {
  public:
    JetRows(JetRows&&) noexcept;
    JetRows& operator=(JetRows&&) = delete;
    ~JetRows();

    // Fills `row` with the next row; false after the last one. Raises
    // korvana::Error naming the table when rows could not be read (a damaged
    // file loses rows in libmdb without a word, so the count is compared).
    bool next(std::vector<Value>& row);

  private:
    friend class JetFile;
    struct Cursor;
    explicit JetRows(std::unique_ptr<Cursor> cursor);
    std::unique_ptr<Cursor> cursor_;
};

} // namespace korvana::db::jetfile
