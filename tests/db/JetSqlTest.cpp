#include "db/jet/JetSql.h"

#include "db/Sqlite.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace korvana::db::jet {
namespace {

constexpr int kBool = 1;
constexpr int kLong = 4;
constexpr int kSingle = 6;
constexpr int kDate = 8;
constexpr int kText = 10;
constexpr int kMemo = 12;
constexpr int kFixed = 18;

class FakeSchema : public SchemaView {
  public:
    void add(TableInfo table) { tables_[toLowerAscii(table.name)] = std::move(table); }
    std::optional<TableInfo> table(std::string_view name) const override {
        const auto it = tables_.find(toLowerAscii(name));
        return it == tables_.end() ? std::nullopt : std::optional<TableInfo>(it->second);
    }

  private:
    std::map<std::string, TableInfo> tables_;
};

// A real SQLite database laid out as the engine lays out project tables (text
// columns NOCASE, Booleans -1/0), so that translations are checked by what they
// do, not by their spelling.
class JetSqlTest : public ::testing::Test {
  protected:
    JetSqlTest() : db_(":memory:", sqlite::Database::Mode::Create) {
        define("TidxFonts",
               {{"ID", kLong}, {"FontName", kText}, {"Name", kFixed}, {"Size", kSingle}});
        define("TalaMessages", {{"ID", kLong}, {"MessageHelpID", kLong}, {"Parameter1", kFixed}});
        define("TchrTrends", {{"ID", kLong},
                              {"Name", kFixed},
                              {"NameTemp", kText},
                              {"Unit", kText},
                              {"UnitTemp", kText}});
        define("TidxGroups", {{"ID", kLong},
                              {"ParentID", kLong},
                              {"Name", kText},
                              {"Type", kLong},
                              {"Delete", kBool},
                              {"Rename", kBool}});
        define("TusrUsers", {{"ID", kLong},
                             {"Name", kText},
                             {"Enabled", kBool},
                             {"UserState", kLong},
                             {"FirstLogOn", kDate}});
        define("TusrUserClasses", {{"ID", kLong}, {"Name", kText}, {"TextID", kLong}});
        define("TvbfFormulas", {{"ID", kLong}, {"Enabled", kBool}, {"Comment", kMemo}});
        define("TpdbStructMembers",
               {{"ID", kLong}, {"OrderNum", kLong}, {"OrderNumTemp", kSingle}});
        define("Odd", {{"ID", kLong}, {"We\"ird", kText}});

        db_.exec("INSERT INTO TidxFonts VALUES (1, 'Arial', 'x', 8), (2, 'Tahoma', NULL, 10)");
        db_.exec("INSERT INTO TalaMessages VALUES (1, 4711, NULL), (2, NULL, NULL)");
        db_.exec("INSERT INTO TchrTrends VALUES (1, "
                 "'abcdefghijabcdefghijabcdefghijabcdefghijabcdefghijXYZ',"
                 " NULL, 'bar', NULL), (2, 'short', NULL, NULL, NULL)");
        db_.exec("INSERT INTO TidxGroups VALUES (1, 0, 'Meldungen', -1, 0, 0),"
                 " (2, 1, 'Pumpen', -1, 0, 0), (3, 1, 'Ventile', -1, -1, 0),"
                 " (4, 0, 'System', -100, 0, 0), (5, 4, 'KVTime', -102, 0, 0)");
        db_.exec("INSERT INTO TusrUsers VALUES (1, 'admin', -1, NULL, NULL),"
                 " (2, 'guest', 0, NULL, NULL)");
        db_.exec("INSERT INTO TusrUserClasses VALUES (1, 'Admins', 7), (2, 'Guests', NULL),"
                 " (3, 'Service', NULL)");
        db_.exec("INSERT INTO TvbfFormulas VALUES (1, 0, NULL), (2, 0, 'c')");
        db_.exec("INSERT INTO TpdbStructMembers VALUES (1, 3, NULL)");
    }

    void define(const std::string& name, std::vector<ColumnInfo> columns) {
        std::string sql = "CREATE TABLE \"" + name + "\" (";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const bool text = columns[i].daoType == kText || columns[i].daoType == kMemo ||
                              columns[i].daoType == kFixed || columns[i].daoType == kDate;
            std::string quoted;
            for (char c : columns[i].name) {
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            sql += (i ? ", \"" : "\"") + quoted + "\"" +
                   (text     ? " TEXT COLLATE NOCASE"
                    : i == 0 ? " INTEGER PRIMARY KEY"
                             : " NUMERIC");
        }
        db_.exec(sql + ")");
        schema_.add(TableInfo{name, std::move(columns)});
    }

    static void bindAll(sqlite::Statement& statement, const std::vector<SqlValue>& parameters) {
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            const int index = static_cast<int>(i + 1);
            std::visit(
                [&](const auto& v) {
                    using T = std::decay_t<decltype(v)>;
                    if constexpr (std::is_same_v<T, std::monostate>) {
                        statement.bindNull(index);
                    } else {
                        statement.bind(index, v);
                    }
                },
                parameters[i]);
        }
    }

    void run(const CompiledSql& compiled) {
        sqlite::Statement statement = db_.prepare(compiled.sql);
        bindAll(statement, compiled.parameters);
        while (statement.step()) {
        }
    }

    // Rows as "a|b;c|d", Null as "~".
    std::string rows(const std::string& sql, const std::vector<SqlValue>& parameters = {}) {
        sqlite::Statement statement = db_.prepare(sql);
        bindAll(statement, parameters);
        std::string out;
        while (statement.step()) {
            out += out.empty() ? "" : ";";
            for (int c = 0; c < statement.columnCount(); ++c) {
                out += (c ? "|" : "") + (statement.isNull(c) ? "~" : statement.getText(c));
            }
        }
        return out;
    }

    std::string matching(const std::string& table, const std::string& criteria) {
        const CompiledSql compiled = compileCriteria(criteria, *schema_.table(table));
        return rows("SELECT ID FROM \"" + table + "\" WHERE " + compiled.sql + " ORDER BY ID",
                    compiled.parameters);
    }

    sqlite::Database db_;
    FakeSchema schema_;
};

struct StatementCase {
    const char* statement;
    const char* check; // plain SQLite query run afterwards
    const char* expected;
};

TEST_F(JetSqlTest, UpgradeStatementsHaveJetMeaning) {
    const StatementCase cases[] = {
        {"UPDATE TalaMessages SET Parameter1 = MessageHelpID;",
         "SELECT Parameter1, typeof(Parameter1) FROM TalaMessages", "4711|text;~|null"},
        {"UPDATE TidxFonts SET Name = 'Font' & ID;", "SELECT Name FROM TidxFonts", "Font1;Font2"},
        {"UPDATE TchrTrends SET Name = 'Trd' & ID;", "SELECT Name FROM TchrTrends", "Trd1;Trd2"},
        {"UPDATE TchrTrends SET UnitTemp = Unit;", "SELECT UnitTemp FROM TchrTrends", "bar;~"},
        {"UPDATE TchrTrends SET NameTemp = Left(Name,50);",
         "SELECT length(NameTemp), substr(NameTemp, 49) FROM TchrTrends", "50|ij;5|"},
        {"UPDATE TpdbStructMembers SET OrderNumTemp = OrderNum;",
         "SELECT OrderNumTemp FROM TpdbStructMembers", "3"},
        {"UPDATE TvbfFormulas SET Enabled = True", "SELECT Enabled FROM TvbfFormulas", "-1;-1"},
        {"UPDATE TusrUsers SET UserState = 1 WHERE Enabled = True",
         "SELECT UserState FROM TusrUsers", "1;~"},
        {"UPDATE TusrUsers SET UserState = 0 WHERE Enabled = False",
         "SELECT UserState FROM TusrUsers", "~;0"},
        {"UPDATE TidxGroups SET ParentID = 9 WHERE ParentID = 1 AND Type = -1",
         "SELECT ID FROM TidxGroups WHERE ParentID = 9", "2;3"},
        {"update tidxgroups set [name] = 'x' where id = 5",
         "SELECT Name FROM TidxGroups WHERE ID = 5", "x"},
        {"UPDATE TidxGroups SET [Delete] = True WHERE [TidxGroups].[Name] = 'pumpen'",
         "SELECT ID FROM TidxGroups WHERE \"Delete\" = -1", "2;3"},
        {"UPDATE TvbfFormulas SET Enabled = IsNull(Comment)", "SELECT Enabled FROM TvbfFormulas",
         "-1;0"},
        {"UPDATE TvbfFormulas SET Enabled = 5 WHERE ID = 1", "SELECT Enabled FROM TvbfFormulas",
         "-1;0"},
        {"UPDATE TvbfFormulas SET Enabled = Null", "SELECT Enabled FROM TvbfFormulas", "~;~"},
        {"UPDATE TusrUsers SET FirstLogOn = #2024-02-29 13:05# WHERE ID = 1",
         "SELECT FirstLogOn FROM TusrUsers WHERE ID = 1", "2024-02-29 13:05:00"},
        {"UPDATE TusrUsers SET FirstLogOn = #3/1/2024# WHERE ID = 2",
         "SELECT FirstLogOn FROM TusrUsers WHERE ID = 2", "2024-03-01 00:00:00"},
        {"UPDATE TidxFonts SET Size = 7 / 2, FontName = \"say \"\"hi\"\"\" WHERE ID = 1",
         "SELECT Size, FontName FROM TidxFonts WHERE ID = 1", "3.5|say \"hi\""},
        {"DELETE * FROM TidxGroups WHERE Type = -1", "SELECT count(*) FROM TidxGroups", "2"},
        {"DELETE FROM TusrUserClasses WHERE IsNull(TextID)", "SELECT ID FROM TusrUserClasses", "1"},
        {"INSERT INTO TidxGroups (ParentID, Name, Type, [Delete], Rename) "
         "VALUES (4, 'DateFormats', -113, False, False)",
         "SELECT ParentID, Name, Type, \"Delete\" FROM TidxGroups WHERE ID = 6",
         "4|DateFormats|-113|0"},
    };
    for (const StatementCase& c : cases) {
        SCOPED_TRACE(c.statement);
        db_.exec("SAVEPOINT t");
        run(compileStatement(c.statement, schema_));
        EXPECT_EQ(rows(c.check), c.expected);
        db_.exec("ROLLBACK TO t");
        db_.exec("RELEASE t");
    }
}

TEST_F(JetSqlTest, CriteriaSelectRows) {
    const struct {
        const char* table;
        const char* criteria;
        const char* ids;
    } cases[] = {
        {"TidxGroups", "ParentID = 0 AND Type = -1", "1"},
        {"TidxGroups", "ID = 5", "5"},
        {"TidxGroups", "Type = -1 OR Type = -100", "1;2;3;4"},
        {"TidxGroups", "ParentID = 1 AND NOT [Delete]", "2"},
        {"TidxGroups", "[Delete] = False AND ParentID <> 0", "2;5"},
        {"TidxGroups", "Name = 'MELDUNGEN'", "1"},    // text ignores case
        {"TidxGroups", "Left(Name, 3) = 'PUM'", "2"}, // also without a column
        {"TidxGroups", "Name & '!' = 'kvtime!'", "5"},
        {"TidxGroups", "(ParentID = 1) = True", "2;3"},
        {"TidxGroups", "ID IN (1, 3, 99)", "1;3"},
        {"TidxGroups", "ID NOT BETWEEN 2 AND 4", "1;5"},
        {"TidxGroups", "Name > 'n' AND Name < 'Z'", "2;3;4"},
        {"TidxGroups", "ID * 2 - 1 = 5 OR ID Mod 4 = 0", "3;4"},
        {"TidxGroups", "ParentID = 4 AND Name = 'KVTime' AND Type = -102", "5"},
        {"TidxGroups", "Name LIKE 'p*'", "2"},
        {"TidxGroups", "Name LIKE 'K?TIME'", "5"},
        {"TidxGroups", "Name NOT LIKE '*u*'", "3;4;5"},
        {"TidxGroups", "Name LIKE '*[*]' OR Name LIKE '%' OR Name LIKE 'Pump_n'", ""},
        {"TusrUserClasses", "IsNull(TextID)", "2;3"},
        {"TusrUserClasses", "NOT IsNull(TextID)", "1"},
        {"TusrUserClasses", "TextID Is Null AND Name = 'service'", "3"},
        {"TusrUserClasses", "TextID IS NOT NULL", "1"},
        {"TusrUserClasses", "IsNull(TextID) = False", "1"},
        {"TusrUserClasses", "Nz(TextID, 0) = 0", "2;3"},
        {"TusrUserClasses", "Len(Name) = 6 AND UCase(Name) = 'GUESTS'", "2"},
        {"TusrUsers", "Enabled", "1"},
        {"TusrUsers", "Enabled = -1", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.criteria);
        EXPECT_EQ(matching(c.table, c.criteria), c.ids);
    }
}

TEST_F(JetSqlTest, AmpersandTreatsNullAsEmptyButPlusPropagatesIt) {
    const struct {
        const char* expression;
        const char* result;
    } cases[] = {
        {"Null & 'x'", "x"},
        {"'x' & Null & 'y'", "xy"},
        {"Null & Null", "~"},
        {"'a' + 'b'", "ab"},
        {"'a' + Null", "~"},
        {"1 + 2 & 3", "33"},
        {"Right('abcdef', 2)", "ef"},
        {"Left('Übertemperatur', 2)", "Üb"},
        {"Right('ab', 5)", "ab"},
        {"Right('ab', 0)", ""},
        {"Mid('abcdef', 2, 3)", "bcd"},
        {"Trim('  a ')", "a"},
        {"-(2 + 3) * 2", "-10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        const CompiledSql compiled = compileStatement(
            std::string("SELECT ") + c.expression + " FROM TidxFonts WHERE ID = 1", schema_);
        EXPECT_EQ(rows(compiled.sql, compiled.parameters), c.result);
    }
}

TEST_F(JetSqlTest, SelectListsColumnsInTableOrderAndNamesExpressions) {
    const CompiledSql all =
        compileStatement("SELECT * FROM tidxfonts ORDER BY fontname DESC", schema_);
    ASSERT_EQ(all.columns.size(), 4u);
    EXPECT_EQ(all.columns[2].name, "Name");
    EXPECT_EQ(all.columns[2].daoType, kFixed);
    EXPECT_EQ(rows(all.sql, all.parameters), "2|Tahoma|~|10;1|Arial|x|8");

    const CompiledSql some =
        compileStatement("SELECT Name, ID & '', [TidxFonts].ID FROM TidxFonts", schema_);
    ASSERT_EQ(some.columns.size(), 3u);
    EXPECT_EQ(some.columns[0].name, "Name");
    EXPECT_EQ(some.columns[1].name, "Expr1000");
    EXPECT_EQ(some.columns[1].daoType, 0);
    EXPECT_EQ(some.columns[2].daoType, kLong);

    const CompiledSql ordered =
        compileStatement("SELECT Name FROM TidxGroups ORDER BY Name", schema_);
    EXPECT_EQ(rows(ordered.sql), "KVTime;Meldungen;Pumpen;System;Ventile");
}

// A comparison next to a numeric column must not carry an explicit collation,
// or SQLite could not use the index of that column.
TEST_F(JetSqlTest, ComparisonsKeepColumnIndexesUsable) {
    const CompiledSql compiled =
        compileCriteria("ParentID = 0 AND Type = -1", *schema_.table("TidxGroups"));
    EXPECT_EQ(compiled.sql, "((\"ParentID\" = ?1) AND (\"Type\" = ?2))");
    ASSERT_EQ(compiled.parameters.size(), 2u);
    EXPECT_EQ(std::get<std::int64_t>(compiled.parameters[1]), -1);

    db_.exec("CREATE INDEX PIDName ON TidxGroups (ParentID, Name)");
    const CompiledSql seek =
        compileCriteria("ParentID = 4 AND Name = 'kvtime'", *schema_.table("TidxGroups"));
    EXPECT_NE(
        rows("EXPLAIN QUERY PLAN SELECT ID FROM TidxGroups WHERE " + seek.sql, seek.parameters)
            .find("INDEX PIDName"),
        std::string::npos);
}

TEST_F(JetSqlTest, LiteralsAreBoundNeverSpliced) {
    const std::string evil = "x' OR 1=1 --";
    const CompiledSql compiled = compileStatement(
        "UPDATE TidxGroups SET Name = 'gone' WHERE Name = 'x'' OR 1=1 --'", schema_);
    EXPECT_EQ(compiled.sql.find("1=1"), std::string::npos);
    EXPECT_EQ(compiled.sql.find("gone"), std::string::npos);
    ASSERT_EQ(compiled.parameters.size(), 2u);
    EXPECT_EQ(std::get<std::string>(compiled.parameters[1]), evil);
    run(compiled);
    EXPECT_EQ(rows("SELECT count(*) FROM TidxGroups WHERE Name = 'gone'"), "0");

    // Names come from the schema's own spelling, quoted, whatever the input wrote.
    const CompiledSql odd = compileStatement("UPDATE odd SET [we\"IRD] = 'v'", schema_);
    EXPECT_EQ(odd.sql, "UPDATE \"Odd\" SET \"We\"\"ird\" = ?1");
    db_.exec("INSERT INTO Odd VALUES (1, NULL)");
    run(odd);
    EXPECT_EQ(rows("SELECT \"We\"\"ird\" FROM Odd"), "v");
}

TEST_F(JetSqlTest, RejectsWhatIsOutsideTheDialect) {
    const struct {
        const char* statement;
        int number;
        const char* mention;
    } cases[] = {
        {"", syntaxErrorNumber, "expected SELECT"},
        {"DROP TABLE TidxFonts", syntaxErrorNumber, "'DROP'"},
        {"UPDATE TidxFonts SET Name = 'a'; DROP TABLE TidxFonts", syntaxErrorNumber,
         "one statement"},
        // Jet has no comments: this is 'a' minus minus a column named comment.
        {"UPDATE TidxFonts SET Name = 'a' -- comment", unknownColumnNumber, "'comment'"},
        {"UPDATE Nowhere SET Name = 'a'", unknownTableNumber, "'Nowhere'"},
        {"UPDATE TidxFonts SET Colour = 1", unknownColumnNumber, "'Colour'"},
        {"SELECT * FROM TidxFonts WHERE Weight = 1", unknownColumnNumber, "'Weight'"},
        {"SELECT * FROM TidxFonts WHERE Other.Name = 'a'", unknownTableNumber, "'Other'"},
        {"UPDATE TidxFonts SET Name = 'a', name = 'b'", syntaxErrorNumber, "named twice"},
        {"SELECT * FROM TidxFonts WHERE Name LIKE 'a#'", syntaxErrorNumber, "LIKE patterns"},
        {"SELECT * FROM TidxFonts WHERE Name LIKE FontName", syntaxErrorNumber, "text literal"},
        {"SELECT * FROM TidxFonts WHERE Name = 'open", syntaxErrorNumber, "unterminated"},
        {"SELECT * FROM TidxFonts WHERE [Name = 'a'", syntaxErrorNumber, "unterminated"},
        {"SELECT * FROM TidxFonts WHERE Shell('rm') = 1", syntaxErrorNumber, "'Shell'"},
        {"SELECT * FROM TidxFonts WHERE Left(Name) = 'a'", syntaxErrorNumber, "Left()"},
        {"SELECT * FROM TidxGroups WHERE Delete = 1", syntaxErrorNumber, "'Delete'"},
        {"UPDATE TusrUsers SET FirstLogOn = #2023-02-29#", syntaxErrorNumber, "2023-02-29"},
        {"UPDATE TusrUsers SET FirstLogOn = FirstLogOn + 1", syntaxErrorNumber, "dates"},
        {"SELECT * FROM TidxFonts WHERE ID = 1 ; ;", syntaxErrorNumber, "one statement"},
        {"SELECT * FROM TidxFonts WHERE ID = 1e", syntaxErrorNumber, "number runs into"},
        // Beyond a Double: refused instead of ending the program.
        {"SELECT * FROM TidxFonts WHERE ID = 1E999", syntaxErrorNumber, "position 36"},
        {"SELECT * FROM TidxFonts WHERE ID = 1E-999", syntaxErrorNumber, "too large or too small"},
        {"SELECT * FROM TidxFonts WHERE ID = ?", syntaxErrorNumber, "'?'"},
        {"INSERT INTO TidxFonts (ID, Name) VALUES (1)", syntaxErrorNumber, "2 columns"},
        {"SELECT ID FROM TidxFonts, TidxGroups", syntaxErrorNumber, "','"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        try {
            compileStatement(c.statement, schema_);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.number) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.mention), std::string::npos) << e.what();
        }
    }
    // Too many digits for a Long, and then too many for a Double.
    EXPECT_THROW(
        compileStatement("SELECT * FROM TidxFonts WHERE ID = " + std::string(400, '9'), schema_),
        Error);
    const TableInfo groups = *schema_.table("TidxGroups");
    // Hostile nesting is refused before anything recursive could run out of stack.
    std::string parentheses = std::string(20000, '(') + "1" + std::string(20000, ')') + " = ID";
    std::string nots;
    std::string chain = "ID = 1";
    for (int i = 0; i < 20000; ++i) {
        nots += "NOT ";
        chain += " OR ID = 1";
    }
    for (const std::string& deep :
         {parentheses, nots + "ID = 1", chain, std::string(20000, '-') + "1 = ID",
          "Len(" + std::string(5000, '(') + "1" + std::string(5000, ')') + ") = ID"}) {
        try {
            compileCriteria(deep, groups);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("nested too deeply"), std::string::npos)
                << e.what();
        }
    }
    for (const char* criteria : {"", "ID = 1 ORDER BY ID", "ID = ", "Nope = 1", "ID = 1;"}) {
        SCOPED_TRACE(criteria);
        EXPECT_THROW(compileCriteria(criteria, groups), Error);
    }
}

TEST_F(JetSqlTest, NestedRepeatingTranslationsAreRefusedBeforeTheyOutgrowMemory) {
    // Right() and '&' name an operand twice in SQLite, so each level of
    // nesting doubles the SQL: sixty levels would be 2^60 copies of Name.
    for (const auto& wrap : {+[](const std::string& inner) { return "Right(" + inner + ", 1)"; },
                             +[](const std::string& inner) { return "(" + inner + " & 'x')"; }}) {
        std::string nested = "Name";
        for (int i = 0; i < 60; ++i) {
            nested = wrap(nested);
        }
        try {
            matching("TidxGroups", nested + " = 'a'");
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), syntaxErrorNumber);
            EXPECT_NE(std::string(e.what()).find("too complex"), std::string::npos) << e.what();
        }
    }
    // The few levels a real statement has still translate and select.
    EXPECT_EQ(matching("TidxGroups", "Right(Right(Right(Name & 'x', 3), 2) & 'y', 2) = 'XY'"),
              "1;2;3;4;5");
}

} // namespace
} // namespace korvana::db::jet
