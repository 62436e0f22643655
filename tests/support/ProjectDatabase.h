#pragma once

#include "db/Database.h"

#include <filesystem>

namespace korvana::test {

// A new project database as a template brings it: made by the database layer,
// with a table of its own and no settings yet. The settings store refuses
// SQLite files that the database layer did not make.
inline void makeProjectDatabase(const std::filesystem::path& file) {
    auto database = db::Database::create(file.string());
    db::TableDef table("TcfgBinary");
    table.fields.emplace_back("Name", db::DaoType::Text, 50);
    table.fields.emplace_back("Data", db::DaoType::LongBinary);
    database.appendTableDef(table);
}

} // namespace korvana::test
