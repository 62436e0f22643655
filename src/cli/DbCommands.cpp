#include "cli/Commands.h"
#include "db/Database.h"
#include "db/DbErrors.h"
#include "db/jetfile/JetImport.h"
#include "db/json/DatabaseJson.h"
#include "db/json/JsonValues.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/TextUtil.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>

namespace korvana::cli {
namespace {

struct DbOptions {
    std::string file;
    std::string from;
    bool rows = false;
    std::string statement;
    std::string jetFile;
};

bool requireExisting(CliContext& context, const std::string& path, const char* what) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        context.err << "kvs: " << what << " '" << path << "' not found\n";
        context.exitCode = exitNotFound;
        return false;
    }
    return true;
}

void createCommand(CliContext& context, const DbOptions& options) {
    std::error_code error;
    if (std::filesystem::exists(options.file, error)) {
        context.err << "kvs: '" << options.file << "' already exists; it is left as it is\n";
        context.exitCode = exitFailure;
        return;
    }
    std::string json;
    if (options.from == "-") {
        json.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        if (!requireExisting(context, options.from, "description")) {
            return;
        }
        std::ifstream in(options.from, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        if (!in) {
            throw Error("Cannot read '" + options.from + "'", runtimeErrors::pathFileAccessError);
        }
        json = content.str();
    }
    db::json::createDatabaseFromJson(options.file, json);
    context.exitCode = exitOk;
}

void dumpCommand(CliContext& context, const DbOptions& options) {
    if (!requireExisting(context, options.file, "database")) {
        return;
    }
    context.out << db::json::dumpDatabase(options.file, options.rows);
    context.exitCode = exitOk;
}

void sqlCommand(CliContext& context, const DbOptions& options) {
    if (!requireExisting(context, options.file, "database")) {
        return;
    }
    db::Database database = db::Database::open(options.file);
    if (startsWithIgnoreCase(trim(options.statement), "SELECT")) {
        const db::QueryResult result = database.query(options.statement);
        for (const auto& row : result.rows) {
            nlohmann::ordered_json line = nlohmann::ordered_json::object();
            for (std::size_t i = 0; i < row.size() && i < result.columns.size(); ++i) {
                line[result.columns[i]] = db::json::valueToJson(row[i]);
            }
            context.out << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict)
                        << '\n';
        }
    } else {
        const std::int64_t touched = database.execute(options.statement);
        context.out << nlohmann::ordered_json{{"rowsAffected", touched}}.dump() << '\n';
    }
    database.close();
    context.exitCode = exitOk;
}

void importJetCommand(CliContext& context, const DbOptions& options) {
    if (!requireExisting(context, options.jetFile, "Jet database")) {
        return;
    }
    db::jetfile::JetImportReport report;
    try {
        report = db::jetfile::importJetFile(options.jetFile, options.file);
    } catch (const Error& error) {
        if (error.number() != db::errors::notADatabase &&
            error.number() != db::errors::databaseExists) {
            throw;
        }
        context.err << "kvs: " << error.what() << "; nothing was written\n";
        context.exitCode = exitFailure;
        return;
    }
    for (const auto& table : report.tables) {
        context.out << table << '\n';
    }
    for (const auto& note : report.notes) {
        context.err << "kvs: " << note << '\n';
    }
    context.exitCode = exitOk;
}

} // namespace

void addDbCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<DbOptions>();
    CLI::App* db = app.add_subcommand("db", "Project databases and their JSON descriptions");
    db->require_subcommand(1);

    CLI::App* create = db->add_subcommand(
        "create", "Create a new project database from a JSON description (never overwrites)");
    create->add_option("FILE", options->file, "The database file to create")->required();
    create->add_option("--from", options->from, "The JSON description to read ('-' for stdin)")
        ->required();
    create->callback([&context, options] { createCommand(context, *options); });

    CLI::App* dump = db->add_subcommand("dump", "Write a project database as a JSON description");
    dump->add_option("FILE", options->file, "The database file")->required();
    dump->add_flag("--rows", options->rows, "Include the rows of every table");
    dump->callback([&context, options] { dumpCommand(context, *options); });

    CLI::App* sql = db->add_subcommand(
        "sql", "Run one Jet SQL statement; a SELECT prints its rows as JSON lines");
    sql->add_option("FILE", options->file, "The database file")->required();
    sql->add_option("STATEMENT", options->statement, "The statement")->required();
    sql->callback([&context, options] { sqlCommand(context, *options); });

    CLI::App* importJet = db->add_subcommand(
        "import-jet", "Make a new project database from a Jet 4.0 database (never overwrites); "
                      "what cannot be brought over is named on stderr");
    importJet->add_option("JET-FILE", options->jetFile, "The Jet 4.0 database to read")->required();
    importJet->add_option("OUT", options->file, "The project database to create")->required();
    importJet->callback([&context, options] { importJetCommand(context, *options); });
}

} // namespace korvana::cli
