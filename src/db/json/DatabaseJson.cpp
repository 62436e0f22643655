#include "db/json/DatabaseJson.h"

#include "db/Database.h"
#include "db/DbErrors.h"
#include "db/SettingsTable.h"
#include "db/json/DescriptionReader.h"
#include "db/json/DescriptionWriter.h"
#include "db/json/RowWriter.h"
#include "platform/Error.h"

#include <filesystem>

namespace korvana::db::json {

void createDatabase(const std::string& path, const Description& description) {
    Database db = Database::create(path);
    try {
        {
            auto transaction = db.transaction();
            for (const TableDescription& table : description.tables) {
                db.appendTableDef(table.definition);
                RowWriter rows(db.connection(), db.tableDef(table.definition.name));
                for (const RowValues& row : table.rows) {
                    rows.insert(row);
                }
            }
            SettingsTable(db.connection()).write(description.settings);
            transaction.commit();
        }
        db.close();
    } catch (...) {
        // The file is ours, made a moment ago: a half-made database is worse
        // than none.
        db.close();
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        throw;
    }
}

void createDatabaseFromJson(const std::string& path, std::string_view jsonText) {
    // Everything is checked before the file is made.
    createDatabase(path, DescriptionReader::parse(jsonText));
}

std::string dumpDatabase(const std::string& path, bool withRows) {
    Database db = Database::open(path);
    const nlohmann::ordered_json description = DescriptionWriter(db).describe(withRows);
    db.close();
    try {
        return description.dump(1, ' ', false) + "\n";
    } catch (const nlohmann::json::type_error& error) {
        // Text that is not UTF-8 cannot be written as JSON; changing it would lose data.
        throw Error("Database '" + path + "' holds text that is not valid UTF-8: " + error.what(),
                    errors::databaseError);
    }
}

} // namespace korvana::db::json
