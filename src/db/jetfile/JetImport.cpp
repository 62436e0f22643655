#include "db/jetfile/JetImport.h"

#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/DbErrors.h"
#include "db/SqlNames.h"
#include "db/Sqlite.h"
#include "db/UnstoredColumns.h"
#include "db/ValueBinding.h"
#include "db/jetfile/JetFile.h"
#include "platform/Error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace korvana::db::jetfile {

namespace {

// A free name beside `projectFile` for the file being written; hidden, and
// named after its target, so that a left-over after a crash explains itself.
std::string temporaryBeside(const std::string& projectFile) {
    const std::filesystem::path target(projectFile);
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".import-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw Error("Cannot write beside '" + projectFile + "': " + std::strerror(errno),
                    errors::fileInUse);
    }
    ::close(fd);
    ::unlink(pattern.c_str());
    return pattern;
}

// A new, empty project database, as Database::create makes one, but written
// without waiting for the disk: a failed import throws it away, and the
// finished file is flushed once before it takes its name. Waiting for each
// commit would cost more than all of the reading.
Database createScratch(const std::string& path) {
    {
        sqlite::Database connection(path, sqlite::Database::Mode::Create);
        connection.exec("PRAGMA synchronous = OFF");
        sqlite::Transaction transaction(connection);
        Catalogue::create(connection);
        UnstoredColumns::create(connection);
        transaction.commit();
    }
    return Database::open(path, Database::Durability::Scratch);
}

void flush(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int cause = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        throw Error("Cannot write '" + file + "': " + std::strerror(cause), errors::fileInUse);
    }
    ::close(fd);
}

void removeQuietly(const std::string& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    std::filesystem::remove(file + "-journal", ignored);
}

std::string insertStatement(const TableDef& definition) {
    std::string columns;
    std::string places;
    for (const auto& field : definition.fields) {
        columns += (columns.empty() ? "" : ", ") + quoteIdentifier(field.name);
        places += places.empty() ? "?" : ", ?";
    }
    return "INSERT INTO " + quoteIdentifier(definition.name) + " (" + columns + ") VALUES (" +
           places + ")";
}

std::int64_t copyRows(JetFile& jet, Database& database, const TableDef& definition) {
    auto insert = database.connection().prepare(insertStatement(definition));
    JetRows rows = jet.rows(definition.name);
    std::vector<Value> row;
    std::int64_t count = 0;
    while (rows.next(row)) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            bindValue(insert, static_cast<int>(i) + 1, row[i]);
        }
        insert.run();
        insert.reset();
        ++count;
    }
    return count;
}

void importInto(JetFile& jet, Database& database, JetImportReport& report) {
    auto transaction = database.transaction();
    for (const auto& name : jet.tableNames()) {
        JetTable table = jet.table(name);
        for (auto& note : table.notes) {
            report.notes.push_back(std::move(note));
        }
        if (isInternalTableName(name)) {
            report.notes.push_back("table '" + name +
                                   "' left out: the name is one of the engine's own");
            continue;
        }
        if (table.definition.fields.empty()) {
            report.notes.push_back("table '" + name +
                                   "' left out: none of its columns can be "
                                   "brought over");
            continue;
        }
        database.appendTableDef(table.definition);
        const std::int64_t rows = copyRows(jet, database, table.definition);
        report.rows += rows;
        report.tables.push_back(name + ": " + std::to_string(rows) + " rows");
    }
    for (const auto& object : jet.otherObjects()) {
        report.notes.push_back(object + " left out: only tables are brought over");
    }
    transaction.commit();
}

} // namespace

JetImportReport importJetFile(const std::string& jetFile, const std::string& projectFile) {
    std::error_code error;
    if (std::filesystem::exists(projectFile, error)) {
        throw Error("'" + projectFile + "' already exists; it is left as it is",
                    errors::databaseExists);
    }
    JetFile jet(jetFile);
    JetImportReport report;
    const std::string temporary = temporaryBeside(projectFile);
    try {
        Database database = createScratch(temporary);
        importInto(jet, database, report);
        database.close();
        flush(temporary);
        // A hard link fails when the name is taken, so a file that appeared
        // meanwhile is not overwritten either. The content is on the disk
        // before the name: after a crash the name is missing or names the
        // whole file.
        if (::link(temporary.c_str(), projectFile.c_str()) != 0) {
            const int cause = errno;
            throw Error("Cannot write '" + projectFile + "': " + std::strerror(cause),
                        cause == EEXIST ? errors::databaseExists : errors::fileInUse);
        }
    } catch (...) {
        removeQuietly(temporary);
        throw;
    }
    removeQuietly(temporary);
    return report;
}

} // namespace korvana::db::jetfile
