#include "db/Sqlite.h"

#include "platform/ErrorNumbers.h"

#include <cassert>
#include <sqlite3.h>
#include <utility>

namespace korvana::sqlite {

namespace {

// Another process (the IDE, a second instance) may hold a short write lock.
constexpr int busyTimeoutMs = 5000;

} // namespace

Database::Database(const std::string& path, Mode mode) : path_(path) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Cannot open database '" + path + "': " + message,
                    runtimeErrors::pathFileAccessError);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    // SQLite opens lazily: reading the schema is what tells a database from any
    // other file, before anything could be written to it.
    try {
        exec("SELECT count(*) FROM sqlite_master");
        // This SQLite is built to overwrite every freed page with zeros, which
        // turns dropping a large table (each rebuild does) into a rewrite of
        // all its pages through the journal. Freed content is still cleared
        // wherever that costs no extra writes; the compaction at the end of
        // every check leaves none of the rest in the file.
        exec("PRAGMA secure_delete = FAST");
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

Database::~Database() {
    if (db_) {
        sqlite3_close_v2(db_);
    }
}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)),
      openSavepoints_(std::exchange(other.openSavepoints_, 0)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        if (db_) {
            sqlite3_close_v2(db_);
        }
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
        openSavepoints_ = std::exchange(other.openSavepoints_, 0);
    }
    return *this;
}

void Database::fail(std::string_view what) const {
    const std::string detail = db_ ? sqlite3_errmsg(db_) : "no database";
    throw Error(std::string(what) + " in '" + path_ + "': " + detail, 3146);
}

void Database::exec(std::string_view sql) {
    char* error = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw Error("Database error in '" + path_ + "': " + message, 3146);
    }
}

Statement Database::prepare(std::string_view sql) {
    return Statement(*this, sql);
}

bool Database::tableExists(std::string_view name) {
    Statement query(*this, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                           "COLLATE NOCASE");
    query.bind(1, name);
    return query.step();
}

std::int64_t Database::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Database::changes() const {
    return sqlite3_changes(db_);
}

std::int64_t Database::totalChanges() const {
    return sqlite3_total_changes64(db_);
}

Statement::Statement(Database& db, std::string_view sql) : db_(&db) {
    if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_,
                           nullptr) != SQLITE_OK) {
        db.fail("Cannot prepare '" + std::string(sql) + "'");
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) {
        db_->fail("Cannot bind parameter");
    }
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) {
        db_->fail("Cannot bind parameter");
    }
    return *this;
}

Statement& Statement::bind(int index, double value) {
    if (sqlite3_bind_double(stmt_, index, value) != SQLITE_OK) {
        db_->fail("Cannot bind parameter");
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK) {
        db_->fail("Cannot bind parameter");
    }
    return *this;
}

Statement& Statement::bindBlob(int index, const std::vector<std::uint8_t>& bytes) {
    if (sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT) !=
        SQLITE_OK) {
        db_->fail("Cannot bind parameter");
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    const std::string sql = sqlite3_sql(stmt_) ? sqlite3_sql(stmt_) : "";
    sqlite3_reset(stmt_);
    db_->fail("Statement '" + sql + "' failed");
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

std::string Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? name : "";
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int Statement::columnType(int column) const {
    return sqlite3_column_type(stmt_, column);
}

std::int64_t Statement::getInt(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double Statement::getDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

std::string Statement::getText(int column) const {
    const auto* text = sqlite3_column_text(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size))
                : std::string();
}

std::vector<std::uint8_t> Statement::getBlob(int column) const {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    // Savepoints end before the transaction that holds them.
    assert(db_.openSavepoints() == 0);
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (...) {
            // The connection is being abandoned; SQLite rolls back on close.
        }
    }
}

void Transaction::commit() {
    assert(!done_);
    // A savepoint still open is an operation not yet finished: the commit
    // would keep its half-done changes for good.
    assert(db_.openSavepoints() == 0);
    db_.exec("COMMIT");
    done_ = true;
}

// Savepoints nest like the scopes that own them, and SQLite resolves a name to
// the innermost savepoint of that name, so one name serves every level. That
// holds only while each savepoint ends as the innermost one: ended out of
// turn, or released twice, a savepoint would silently end the wrong level and
// leave an operation's changes without the savepoint that was to undo them.
Savepoint::Savepoint(Database& db)
    : db_(db), name_("kv_operation"), opensTransaction_(sqlite3_get_autocommit(db.handle()) != 0) {
    db_.exec("SAVEPOINT " + name_);
    depth_ = ++db_.openSavepoints_;
}

Savepoint::~Savepoint() {
    if (!done_) {
        assert(db_.openSavepoints_ == depth_);
        try {
            // Releasing the outermost savepoint commits, and a commit after
            // pages were touched writes a new change counter into the file
            // even when every change was rolled back; ending the transaction
            // with a rollback leaves the file byte for byte as it was.
            if (opensTransaction_) {
                db_.exec("ROLLBACK");
            } else {
                db_.exec("ROLLBACK TO " + name_);
                db_.exec("RELEASE " + name_);
            }
        } catch (...) {
        }
        --db_.openSavepoints_;
    }
}

void Savepoint::release() {
    assert(!done_);
    assert(db_.openSavepoints_ == depth_);
    db_.exec("RELEASE " + name_);
    done_ = true;
    --db_.openSavepoints_;
}

} // namespace korvana::sqlite
