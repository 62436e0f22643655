#pragma once

#include "db/Database.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvana::db::test {

// A scratch folder with a fresh project database in it.
class DbTest : public ::testing::Test {
  protected:
    DbTest() : path_((scratch_ / "project.kvs").string()), db_(Database::create(path_)) {}

    // A small texts table like the projects have: auto number, parent, a
    // required name, two language columns and the unique (ParentID, Name) key.
    void createTexts() {
        TableDef texts("TidxTexts");
        FieldDef id("ID", DaoType::Long);
        id.autoNumber = true;
        texts.fields.push_back(id);
        texts.fields.emplace_back("ParentID", DaoType::Long);
        FieldDef name("Name", DaoType::Text, 50);
        name.required = true;
        texts.fields.push_back(name);
        FieldDef german("L1031", DaoType::Text, 255);
        german.allowZeroLength = true;
        texts.fields.push_back(german);
        texts.fields.emplace_back("L1033", DaoType::Memo);
        texts.indexes.push_back({"ID", {"ID"}, true, true, false});
        texts.indexes.push_back({"PIDName", {"ParentID", "Name"}, false, true, false});
        db_.appendTableDef(texts);
    }

    void exec(const std::string& sql) { db_.connection().exec(sql); }

    std::vector<std::string> columnNames(const std::string& table) const {
        std::vector<std::string> names;
        for (const auto& field : db_.tableDef(table).fields) {
            names.push_back(field.name);
        }
        return names;
    }

    // Everything a schema operation could touch, to prove that a failed one
    // touched nothing.
    std::string snapshot() {
        std::string text;
        for (const char* sql :
             {"SELECT type || ' ' || name || ' ' || coalesce(sql, '') FROM sqlite_master ORDER BY "
              "type, name",
              "SELECT * FROM kv_columns ORDER BY 1, 2",
              "SELECT * FROM kv_properties ORDER BY 1, 2, 3",
              "SELECT * FROM kv_indexes ORDER BY 1, 2"}) {
            auto query = db_.connection().prepare(sql);
            while (query.step()) {
                for (int i = 0; i < query.columnCount(); ++i) {
                    text += query.getText(i) + "|";
                }
                text += "\n";
            }
        }
        for (const auto& table : db_.tableNames()) {
            auto rows = db_.connection().prepare("SELECT * FROM \"" + table + "\" ORDER BY rowid");
            while (rows.step()) {
                for (int i = 0; i < rows.columnCount(); ++i) {
                    text += (rows.isNull(i) ? "<null>" : rows.getText(i)) + "|";
                }
                text += "\n";
            }
        }
        return text;
    }

    korvana::test::ScratchDir scratch_;
    std::string path_;
    Database db_;
};

// Names parameterised cases after their `name` member.
struct ParamName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

inline Value text(const char* s) {
    return Value(std::string(s));
}
inline Value number(std::int64_t n) {
    return Value(n);
}

} // namespace korvana::db::test
