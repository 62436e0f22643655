#pragma once

#include "db/Sqlite.h"
#include "db/TableDef.h"
#include "db/Value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvana::db {

enum class RecordsetType { Table = 1, Dynaset = 2 };

// Identifies a record for as long as the recordset is open.
using Bookmark = std::int64_t;

// Record-by-record access to one table. A table recordset is ordered by its
// current index and positioned with `seek`; a dynaset is in stored order and
// positioned with `findFirst`/`findNext` on a criteria string. Records are
// changed through `addNew`/`edit`, `setField` and `update`. Values in keys and
// criteria reach SQLite only as bound parameters.
class Recordset {
  public:
    Recordset(std::shared_ptr<sqlite::Database> connection, TableDef table, RecordsetType type);

    RecordsetType type() const { return type_; }
    const TableDef& tableDef() const { return table_; }

    // Table recordsets: choose the index that orders the records and that
    // `seek` searches.
    void setIndex(std::string_view indexName);
    // Only "=" is supported. Returns whether a record was found; without a match
    // there is no current record.
    bool seek(std::string_view comparison, const std::vector<Value>& key);

    // Dynasets: find the first (next after the current) record that meets the
    // criteria. Without a match the position stays where it was.
    bool findFirst(std::string_view criteria);
    bool findNext(std::string_view criteria);

    bool noMatch() const { return noMatch_; }

    void moveFirst();
    void moveNext();
    bool eof() const;
    std::int64_t recordCount() const;

    // The current record's value, or during addNew/edit the value being
    // written.
    Value field(std::string_view name) const;
    void setField(std::string_view name, const Value& value);

    void addNew();
    void edit();
    void update();
    void cancelUpdate();
    // Deletes the current record; there is no current record until the next
    // move.
    void deleteRecord();

    Bookmark bookmark() const;
    void setBookmark(Bookmark bookmark);
    // The record added or changed by the last update.
    Bookmark lastModified() const;

  private:
    enum class EditMode { None, Add, Edit };

    std::string orderBy() const;
    // Makes the first record in order the current one, without reading the
    // order of the others.
    void placeFirst();
    // Reads the whole order, keeping the current record, when a move needs it.
    void ensureOrdered() const;
    // The record at the present place (a deleted record's successor
    // included), and the current record.
    std::optional<std::int64_t> placedRow() const;
    std::optional<std::int64_t> currentRow() const;
    void requireCurrent() const;
    std::size_t fieldIndex(std::string_view name) const;
    void placeAt(std::optional<std::int64_t> rowId);
    const std::vector<Value>& currentValues() const;
    bool findFrom(std::string_view criteria, std::optional<std::int64_t> after);

    std::shared_ptr<sqlite::Database> connection_;
    TableDef table_;
    RecordsetType type_;
    std::optional<std::size_t> index_;
    // Seeks, finds and bookmarks go straight to a record; the order of all
    // records is read only when a move needs it, so that a recordset used for
    // lookups costs neither time nor memory in proportion to its table.
    mutable bool ordered_ = false;
    mutable std::vector<std::int64_t> order_;
    mutable std::unordered_map<std::int64_t, std::size_t> positionOf_;
    // While ordered_: the position in order_, order_.size() meaning end of
    // file. Otherwise the current record is current_ (none: end of file).
    mutable std::size_t position_ = 0;
    std::optional<std::int64_t> current_;
    bool currentDeleted_ = false;
    bool noMatch_ = false;
    EditMode mode_ = EditMode::None;
    std::vector<std::optional<Value>> pending_;
    std::optional<Bookmark> lastModified_;
    mutable std::optional<std::vector<Value>> cache_;
};

} // namespace korvana::db
