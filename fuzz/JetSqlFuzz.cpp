// The Jet SQL translator (lexer, parser, SQLite emitter) over a small schema of
// the kinds of columns project tables have. Whatever it accepts must be SQL
// that SQLite prepares, with one bound value per parameter it names.
//
// Input: one byte (modulo 3: a statement, a criteria string over TidxGroups,
// a whole-column UPDATE), then the Jet SQL.

#include "FuzzInput.h"
#include "db/jet/JetSql.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <cstdint>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace korvana;
using namespace korvana::db::jet;

const std::vector<TableInfo>& tables() {
    static const std::vector<TableInfo> all = {
        {"TidxGroups",
         {{"ID", 4}, {"ParentID", 4}, {"Name", 10}, {"Type", 3}, {"Delete", 1}, {"Comment", 12}}},
        {"TusrUsers", {{"ID", 4}, {"Name", 18}, {"Enabled", 1}, {"FirstLogOn", 8}, {"Rate", 7}}},
    };
    return all;
}

class Schema : public SchemaView {
  public:
    std::optional<TableInfo> table(std::string_view name) const override {
        for (const auto& table : tables()) {
            if (equalsIgnoreCase(table.name, name)) {
                return table;
            }
        }
        return std::nullopt;
    }
};

sqlite3* database() {
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        sqlite3_open(":memory:", &opened);
        sqlite3_exec(
            opened,
            "CREATE TABLE \"TidxGroups\" (\"ID\" INTEGER PRIMARY KEY, \"ParentID\" NUMERIC,"
            " \"Name\" TEXT COLLATE NOCASE, \"Type\" NUMERIC, \"Delete\" NUMERIC,"
            " \"Comment\" TEXT COLLATE NOCASE);"
            "CREATE TABLE \"TusrUsers\" (\"ID\" INTEGER PRIMARY KEY,"
            " \"Name\" TEXT COLLATE NOCASE, \"Enabled\" NUMERIC,"
            " \"FirstLogOn\" TEXT COLLATE NOCASE, \"Rate\" NUMERIC);",
            nullptr, nullptr, nullptr);
        return opened;
    }();
    return db;
}

// `sql` as SQLite reads it: a statement that prepares and names exactly
// `parameters` parameters.
void requireValidSql(const std::string& sql, std::size_t parameters) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int status = sqlite3_prepare_v2(database(), sql.c_str(), static_cast<int>(sql.size()),
                                          &statement, &tail);
    // SQLite's parser takes less nesting than the translator allows (about ten
    // levels of '&' or Right() in a right operand); such a statement is
    // refused when it is prepared, with SQLite's message. Known and left so.
    if (status != SQLITE_OK &&
        std::string_view(sqlite3_errmsg(database())) == "parser stack overflow") {
        return;
    }
    if (status != SQLITE_OK || statement == nullptr) {
        std::fprintf(stderr, "%s\n%s\n", sql.c_str(), sqlite3_errmsg(database()));
        fuzz::propertyBroken("an accepted statement is no valid SQLite SQL");
    }
    const auto named = static_cast<std::size_t>(sqlite3_bind_parameter_count(statement));
    sqlite3_finalize(statement);
    fuzz::require(*tail == '\0', "the SQL holds more than one statement");
    fuzz::require(named == parameters, "the parameters do not match the SQL");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::uint8_t mode = input.byte() % 3;
    const std::string_view text = input.rest();
    try {
        if (mode == 0) {
            const CompiledSql compiled = compileStatement(text, Schema());
            requireValidSql(compiled.sql, compiled.parameters.size());
        } else if (mode == 1) {
            const CompiledSql compiled = compileCriteria(text, tables().front());
            requireValidSql("SELECT 1 FROM \"TidxGroups\" WHERE " + compiled.sql,
                            compiled.parameters.size());
        } else if (const auto assignment = compileWholeColumnAssignment(text, Schema())) {
            requireValidSql("UPDATE \"" + assignment->table + "\" SET \"" + assignment->column +
                                "\" = " + assignment->value,
                            assignment->parameters.size());
        }
    } catch (const Error&) {
    }
    return 0;
}
