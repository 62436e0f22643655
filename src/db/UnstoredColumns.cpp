#include "db/UnstoredColumns.h"

namespace korvana::db {

namespace {

constexpr const char* recordTable = "kv_unstored";

} // namespace

void UnstoredColumns::create(sqlite::Database& db) {
    db.exec("CREATE TABLE kv_unstored ("
            " TableName TEXT NOT NULL COLLATE NOCASE,"
            " ColumnName TEXT NOT NULL COLLATE NOCASE,"
            " PRIMARY KEY (TableName, ColumnName))");
}

bool UnstoredColumns::kept() {
    return db_.tableExists(recordTable);
}

bool UnstoredColumns::mayBeMissing(std::string_view table, std::string_view column) {
    if (!kept()) {
        return true;
    }
    auto query = db_.prepare("SELECT 1 FROM kv_unstored WHERE TableName = ?1 AND ColumnName = ?2");
    query.bind(1, table);
    query.bind(2, column);
    return query.step();
}

void UnstoredColumns::appended(std::string_view table, std::string_view column) {
    if (!kept()) {
        return;
    }
    auto insert =
        db_.prepare("INSERT OR IGNORE INTO kv_unstored (TableName, ColumnName) VALUES (?1, ?2)");
    insert.bind(1, table);
    insert.bind(2, column);
    insert.run();
}

void UnstoredColumns::renamed(std::string_view table, std::string_view oldName,
                              std::string_view newName) {
    if (!kept()) {
        return;
    }
    auto update = db_.prepare(
        "UPDATE kv_unstored SET ColumnName = ?3 WHERE TableName = ?1 AND ColumnName = ?2");
    update.bind(1, table);
    update.bind(2, oldName);
    update.bind(3, newName);
    update.run();
}

void UnstoredColumns::filled(std::string_view table, std::string_view column) {
    if (!kept()) {
        return;
    }
    auto forget = db_.prepare("DELETE FROM kv_unstored WHERE TableName = ?1 AND ColumnName = ?2");
    forget.bind(1, table);
    forget.bind(2, column);
    forget.run();
}

void UnstoredColumns::rewritten(std::string_view table) {
    if (!kept()) {
        return;
    }
    auto forget = db_.prepare("DELETE FROM kv_unstored WHERE TableName = ?1");
    forget.bind(1, table);
    forget.run();
}

} // namespace korvana::db
