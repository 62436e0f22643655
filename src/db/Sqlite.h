#pragma once

#include "platform/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace korvana::sqlite {

// A thin owner of SQLite handles. Every failure raises korvana::Error with
// SQLite's message and the file name, so the caller can tell the user which
// file is at fault. Values are always bound, never spliced into SQL text.
class Statement;

class Database {
  public:
    enum class Mode { ReadWrite, ReadOnly, Create };

    // Opens the file. ReadWrite and ReadOnly require an existing SQLite database
    // (a file that is not one is refused and left untouched); Create makes the
    // file when it is missing.
    Database(const std::string& path, Mode mode);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;

    // Runs statements without parameters (schema changes, PRAGMA, BEGIN ...).
    void exec(std::string_view sql);
    Statement prepare(std::string_view sql);

    bool tableExists(std::string_view name);
    std::int64_t lastInsertRowId() const;
    int changes() const;
    // Rows inserted, changed or deleted since the connection was opened.
    std::int64_t totalChanges() const;

    const std::string& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    [[noreturn]] void fail(std::string_view what) const;

    // Savepoints of this connection that have neither been released nor
    // rolled back.
    int openSavepoints() const { return openSavepoints_; }

  private:
    friend class Savepoint;

    sqlite3* db_ = nullptr;
    std::string path_;
    int openSavepoints_ = 0;
};

class Statement {
  public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;

    // Parameters count from 1, as in SQLite.
    Statement& bindNull(int index);
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, double value);
    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, const std::vector<std::uint8_t>& bytes);

    // True while a row is available; false when done.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    void reset();

    int columnCount() const;
    std::string columnName(int column) const;
    bool isNull(int column) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int columnType(int column) const;
    std::int64_t getInt(int column) const;
    double getDouble(int column) const;
    std::string getText(int column) const;
    std::vector<std::uint8_t> getBlob(int column) const;

  private:
    Database* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT; rolls back when destroyed without commit().
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Database& db_;
    bool done_ = false;
};

// A named savepoint inside a transaction; rolls back to it when destroyed
// without release(), so a failed operation leaves nothing half-done.
class Savepoint {
  public:
    explicit Savepoint(Database& db);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

  private:
    Database& db_;
    std::string name_;
    // How many savepoints were open with this one the innermost.
    int depth_ = 0;
    // No transaction was open, so the savepoint began one.
    bool opensTransaction_ = false;
    bool done_ = false;
};

} // namespace korvana::sqlite
