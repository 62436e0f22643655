#include "DbTestSupport.h"
#include "db/DbErrors.h"
#include "platform/Error.h"

#include <functional>
#include <gmock/gmock.h>
#include <tuple>

namespace korvana::db::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

FieldDef textField(const char* name, int size, bool allowZeroLength = true) {
    FieldDef field(name, DaoType::Text, size);
    field.allowZeroLength = allowZeroLength;
    return field;
}

// ---------------------------------------------------------------------------
// An operation that already took effect fails the second time and changes
// nothing: this is what makes an upgrade step safe to run twice.

struct RepeatedOperation {
    const char* name;
    std::function<void(Database&)> run;
    const char* messagePart;
};

class RepeatedOperationTest : public DbTest,
                              public ::testing::WithParamInterface<RepeatedOperation> {};

TEST_P(RepeatedOperationTest, SecondRunFailsAndChangesNothing) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'a'), (1, 'b')");
    GetParam().run(db_);
    const std::string before = snapshot();
    try {
        GetParam().run(db_);
        FAIL() << "the second run succeeded";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(GetParam().messagePart));
    }
    EXPECT_EQ(snapshot(), before);
    // The database is still consistent for the next opener.
    db_.close();
    EXPECT_NO_THROW(Database::open(path_));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, RepeatedOperationTest,
    ::testing::Values(
        RepeatedOperation{"AppendField",
                          [](Database& db) { db.appendField("TidxTexts", textField("Extra", 20)); },
                          "TidxTexts.Extra"},
        RepeatedOperation{"AppendFieldWithPosition",
                          [](Database& db) {
                              FieldDef field = textField("Early", 20);
                              field.ordinalPosition = 1;
                              db.appendField("TidxTexts", field);
                          },
                          "TidxTexts.Early"},
        RepeatedOperation{"RenameField",
                          [](Database& db) { db.renameField("TidxTexts", "L1033", "English"); },
                          "L1033"},
        RepeatedOperation{"DeleteField", [](Database& db) { db.deleteField("tidxtexts", "L1033"); },
                          "L1033"},
        RepeatedOperation{"AppendIndex",
                          [](Database& db) {
                              db.appendIndex("TidxTexts", {"Name", {"Name"}});
                          },
                          "Name"},
        RepeatedOperation{"DeleteIndex",
                          [](Database& db) { db.deleteIndex("TidxTexts", "PIDName"); }, "PIDName"},
        RepeatedOperation{"AppendProperty",
                          [](Database& db) {
                              db.appendProperty("TidxTexts", "Name",
                                                Property::boolean("UnicodeCompression", true));
                          },
                          "UnicodeCompression"},
        RepeatedOperation{"AppendTable",
                          [](Database& db) {
                              TableDef table("TcfgBinary");
                              table.fields.emplace_back("Section", DaoType::Text, 255);
                              db.appendTableDef(table);
                          },
                          "TcfgBinary"}),
    ParamName());

// ---------------------------------------------------------------------------
// Operations that fail the first time name what is wrong and change nothing.

struct FailingOperation {
    const char* name;
    std::function<void(Database&)> run;
    const char* messagePart;
};

class FailingOperationTest : public DbTest,
                             public ::testing::WithParamInterface<FailingOperation> {};

TEST_P(FailingOperationTest, FailsNamingTheItemAndChangesNothing) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (1, 'a', 'x'), (2, 'A', 'y')");
    const std::string before = snapshot();
    try {
        GetParam().run(db_);
        FAIL() << "the operation succeeded";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(GetParam().messagePart));
    }
    EXPECT_EQ(snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FailingOperationTest,
    ::testing::Values(
        FailingOperation{"RenameMissingField",
                         [](Database& db) { db.renameField("TidxTexts", "Missing", "Other"); },
                         "Missing"},
        FailingOperation{"RenameOntoExistingField",
                         [](Database& db) { db.renameField("TidxTexts", "L1031", "l1033"); },
                         "l1033"},
        FailingOperation{"FieldOfMissingTable",
                         [](Database& db) { db.appendField("TchrTrends", textField("Unit", 5)); },
                         "TchrTrends"},
        FailingOperation{"DeleteIndexedField",
                         [](Database& db) { db.deleteField("TidxTexts", "ParentID"); }, "PIDName"},
        FailingOperation{
            "UniqueIndexOverDuplicates",
            // "a" and "A" are the same key: text compares without case.
            [](Database& db) {
                db.appendIndex("TidxTexts", {"NameOnly", {"Name"}, false, true, false});
            },
            "NameOnly"},
        FailingOperation{"IndexOnMissingField",
                         [](Database& db) {
                             db.appendIndex("TidxTexts", {"X", {"Nope"}});
                         },
                         "Nope"},
        FailingOperation{"SecondPrimaryIndex",
                         [](Database& db) {
                             db.appendIndex("TidxTexts", {"Other", {"Name"}, true, true, false});
                         },
                         "ID"},
        FailingOperation{"NumericDefaultThatIsNoNumber",
                         [](Database& db) {
                             FieldDef field("Count", DaoType::Long);
                             field.defaultValue = "\"abc\"";
                             db.appendField("TidxTexts", field);
                         },
                         "TidxTexts.Count"},
        FailingOperation{"NameWithBracket",
                         [](Database& db) { db.appendField("TidxTexts", textField("a]b", 5)); },
                         "a]b"},
        FailingOperation{"TextSizeOverLimit",
                         [](Database& db) { db.appendField("TidxTexts", textField("Big", 256)); },
                         "TidxTexts.Big"},
        FailingOperation{
            "ChangeDeletingIndexedField",
            [](Database& db) {
                db.changeFields("TidxTexts", {"L1033", "ParentID"}, {textField("L1036", 255)});
            },
            "PIDName"},
        FailingOperation{"ChangeAppendingExistingField",
                         [](Database& db) {
                             db.changeFields("TidxTexts", {"L1033"},
                                             {textField("L1036", 255), textField("l1031", 255)});
                         },
                         "l1031"},
        FailingOperation{"ChangeAppendingAutoNumber",
                         [](Database& db) {
                             FieldDef counter("Counter", DaoType::Long);
                             counter.autoNumber = true;
                             db.changeFields("TidxTexts", {}, {counter});
                         },
                         "Counter"},
        FailingOperation{
            "MissingProperty",
            [](Database& db) { db.setProperty("TidxTexts", "Name", "Description", text("x")); },
            "Description"},
        FailingOperation{"ReservedTableName",
                         [](Database& db) {
                             TableDef table("kv_columns");
                             table.fields.emplace_back("A", DaoType::Long);
                             db.appendTableDef(table);
                         },
                         "kv_columns"}),
    ParamName());

// ---------------------------------------------------------------------------
// Columns appended to a table that has rows.

struct AppendedColumn {
    const char* name;
    FieldDef field;
    Value oldRows; // what rows stored before the append hold
    Value newRows; // what rows added afterwards get
};

class AppendedColumnTest : public DbTest, public ::testing::WithParamInterface<AppendedColumn> {};

TEST_P(AppendedColumnTest, OldRowsStayEmptyNewRowsGetTheDefault) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'old')");
    db_.appendField("TidxTexts", GetParam().field);
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'new')");

    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("PIDName");
    ASSERT_TRUE(rs.seek("=", {number(1), text("old")}));
    EXPECT_EQ(rs.field(GetParam().field.name), GetParam().oldRows);
    ASSERT_TRUE(rs.seek("=", {number(1), text("new")}));
    EXPECT_EQ(rs.field(GetParam().field.name), GetParam().newRows);
    // A record added through a recordset gets the same default.
    rs.addNew();
    rs.setField("ParentID", number(2));
    rs.setField("Name", text("added"));
    EXPECT_EQ(rs.field(GetParam().field.name), GetParam().newRows);
    rs.update();
    rs.setBookmark(rs.lastModified());
    EXPECT_EQ(rs.field(GetParam().field.name), GetParam().newRows);
}

FieldDef withDefault(FieldDef field, const char* expression) {
    field.defaultValue = expression;
    return field;
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, AppendedColumnTest,
    ::testing::Values(
        AppendedColumn{"EmptyStringDefault", withDefault(textField("Comment", 255), "\"\""),
                       Value{}, text("")},
        AppendedColumn{"ZeroInTextColumn", withDefault(textField("TextRef", 10), "0"), Value{},
                       text("0")},
        AppendedColumn{"StringExpression", withDefault(textField("Path", 255), "\"<ProjectDir>\""),
                       Value{}, text("<ProjectDir>")},
        AppendedColumn{"DotAsWritten", withDefault(textField("Sep", 1), "."), Value{}, text(".")},
        AppendedColumn{"LongDefault", withDefault(FieldDef("CacheSize", DaoType::Long), "1000"),
                       Value{}, number(1000)},
        AppendedColumn{"SingleDefault", withDefault(FieldDef("Order", DaoType::Single), "0"),
                       Value{}, Value(0.0)},
        AppendedColumn{"BooleanTrueDefault",
                       withDefault(FieldDef("Enabled", DaoType::Boolean), "True"), Value(false),
                       Value(true)},
        AppendedColumn{"BooleanWithoutDefault", FieldDef("Flag", DaoType::Boolean), Value(false),
                       Value(false)},
        AppendedColumn{"NoDefault", textField("Plain", 20), Value{}, Value{}},
        AppendedColumn{"EmptyExpressionIsNoDefault", withDefault(textField("Code", 20), ""),
                       Value{}, Value{}}),
    ParamName());

TEST_F(DbTest, AppendingALastColumnDoesNotRebuildTheTable) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'a')");
    auto rootPage = [&] {
        auto query =
            db_.connection().prepare("SELECT rootpage FROM sqlite_master WHERE name = 'TidxTexts'");
        query.step();
        return query.getInt(0);
    };
    const auto before = rootPage();
    db_.appendField("TidxTexts", withDefault(textField("Description", 255), "\"\""));
    EXPECT_EQ(rootPage(), before);
    EXPECT_THAT(columnNames("TidxTexts"),
                ElementsAre("ID", "ParentID", "Name", "L1031", "L1033", "Description"));
}

// ---------------------------------------------------------------------------
// Rules hold for every writer, SQL statements included.

struct RuleCase {
    const char* name;
    const char* statement;
    bool accepted;
};

class RuleTest : public DbTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(RuleTest, StatementsMeetTheRules) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (1, 'Font1', 'x')");
    if (GetParam().accepted) {
        EXPECT_NO_THROW(exec(GetParam().statement));
    } else {
        const std::string before = snapshot();
        EXPECT_THROW(exec(GetParam().statement), Error);
        EXPECT_EQ(snapshot(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Constraints, RuleTest,
    ::testing::Values(
        RuleCase{"RequiredMissing", "INSERT INTO TidxTexts (ParentID) VALUES (2)", false},
        RuleCase{"RequiredSetToNull", "UPDATE TidxTexts SET Name = NULL", false},
        RuleCase{"ZeroLengthRefused", "INSERT INTO TidxTexts (ParentID, Name) VALUES (2, '')",
                 false},
        RuleCase{"ZeroLengthAllowed",
                 "INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (2, 'b', '')", true},
        RuleCase{"SizeInCharactersFits",
                 // 50 characters of two bytes each: the limit counts characters.
                 "INSERT INTO TidxTexts (ParentID, Name) VALUES (2, "
                 "'ääääääääääääääääääääääääääääääääääääääääääääääääää')",
                 true},
        RuleCase{"SizeExceeded",
                 "INSERT INTO TidxTexts (ParentID, Name) VALUES (2, "
                 "'123456789012345678901234567890123456789012345678901')",
                 false},
        RuleCase{"UniqueKeyIgnoresCase",
                 "INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'FONT1')", false},
        RuleCase{"UniqueKeyOtherParent",
                 "INSERT INTO TidxTexts (ParentID, Name) VALUES (2, 'FONT1')", true},
        RuleCase{"TextInLongColumn", "INSERT INTO TidxTexts (ParentID, Name) VALUES ('x', 'b')",
                 false},
        RuleCase{"LongOutOfRange",
                 "INSERT INTO TidxTexts (ParentID, Name) VALUES (4294967296, 'b')", false}),
    ParamName());

TEST_F(DbTest, RequiredAppendedToFilledTableHoldsForLaterWritesOnly) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'old')");
    FieldDef code = textField("Code", 10, false);
    code.required = true;
    db_.appendField("TidxTexts", code);
    // The old row keeps its Null and can still be changed elsewhere.
    EXPECT_NO_THROW(exec("UPDATE TidxTexts SET L1031 = 'changed'"));
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'new')"), Error);
    EXPECT_THROW(exec("UPDATE TidxTexts SET Code = ''"), Error);
    EXPECT_NO_THROW(exec("UPDATE TidxTexts SET Code = 'c'"));
}

TEST_F(DbTest, ChangedRulesApplyToLaterWrites) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (1, 'a', NULL)");
    db_.setAllowZeroLength("TidxTexts", "Name", true);
    EXPECT_NO_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (2, '')"));
    db_.setRequired("TidxTexts", "L1031", true);
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (3, 'c')"), Error);
    db_.setRequired("TidxTexts", "L1031", false);
    db_.setDefaultValue("TidxTexts", "L1031", "\"de\"");
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (3, 'c')");
    auto rows = db_.connection().prepare("SELECT L1031 FROM TidxTexts ORDER BY ID");
    ASSERT_TRUE(rows.step());
    EXPECT_TRUE(rows.isNull(0)); // stored before the default was set
    ASSERT_TRUE(rows.step());
    ASSERT_TRUE(rows.step());
    EXPECT_EQ(rows.getText(0), "de");
    EXPECT_EQ(db_.tableDef("TidxTexts").field("L1031").defaultValue, "\"de\"");
}

// ---------------------------------------------------------------------------
// Column order, rebuilds and the catalogue.

TEST_F(DbTest, PositionChangeMovesTheColumnAndKeepsEverything) {
    createTexts();
    db_.appendProperty("TidxTexts", "L1033", Property::text("Description", "Englisch"));
    exec("INSERT INTO TidxTexts (ParentID, Name, L1033) VALUES (1, 'a', 'one'), (1, 'b', 'two')");
    exec("DELETE FROM TidxTexts WHERE Name = 'b'");
    db_.setOrdinalPosition("TidxTexts", "L1033", 1);

    EXPECT_THAT(columnNames("TidxTexts"), ElementsAre("ID", "L1033", "ParentID", "Name", "L1031"));
    auto physical = db_.connection().prepare("SELECT name FROM pragma_table_info('TidxTexts')");
    ASSERT_TRUE(physical.step());
    ASSERT_TRUE(physical.step());
    EXPECT_EQ(physical.getText(0), "L1033");
    const TableDef table = db_.tableDef("TidxTexts");
    EXPECT_EQ(table.field("L1033").ordinalPosition, 1);
    EXPECT_EQ(db_.property("TidxTexts", "L1033", "Description").value, text("Englisch"));
    ASSERT_NE(table.findIndex("PIDName"), nullptr);
    EXPECT_THAT(table.index("PIDName").fields, ElementsAre("ParentID", "Name"));
    // Rules, unique key and the auto number counter survive the rebuild.
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'A')"), Error);
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID) VALUES (1)"), Error);
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'c')");
    auto id = db_.connection().prepare("SELECT ID FROM TidxTexts WHERE Name = 'c'");
    ASSERT_TRUE(id.step());
    EXPECT_EQ(id.getInt(0), 3);
    db_.close();
    EXPECT_NO_THROW(Database::open(path_));
}

TEST_F(DbTest, FieldAppendedWithPositionGoesThere) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (7, 'a', 'x')");
    FieldDef description = textField("Description", 255);
    description.ordinalPosition = 3;
    db_.appendField("TidxTexts", description);
    EXPECT_THAT(columnNames("TidxTexts"),
                ElementsAre("ID", "ParentID", "Name", "Description", "L1031", "L1033"));
    auto row = db_.connection().prepare("SELECT ParentID, Name, Description, L1031 FROM TidxTexts");
    ASSERT_TRUE(row.step());
    EXPECT_EQ(row.getInt(0), 7);
    EXPECT_EQ(row.getText(1), "a");
    EXPECT_TRUE(row.isNull(2));
    EXPECT_EQ(row.getText(3), "x");
}

TEST_F(DbTest, RenameKeepsIndexesPropertiesAndRules) {
    createTexts();
    db_.appendProperty("TidxTexts", "Name", Property::boolean("UnicodeCompression", true));
    db_.renameField("TidxTexts", "Name", "Title");
    const TableDef table = db_.tableDef("TidxTexts");
    EXPECT_THAT(table.index("PIDName").fields, ElementsAre("ParentID", "Title"));
    EXPECT_TRUE(table.field("Title").required);
    EXPECT_EQ(db_.property("TidxTexts", "title", "unicodecompression").value, Value(true));
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID) VALUES (1)"), Error);
}

TEST_F(DbTest, PropertiesAreCreatedFetchedAndSet) {
    createTexts();
    db_.appendProperty("TidxTexts", "L1031", Property::text("Description", "Deutsch"));
    db_.appendProperty("TidxTexts", "L1031", Property{"Order", DaoType::Long, number(3)});
    db_.setProperty("TidxTexts", "L1031", "Description", text("Text deutsch"));
    db_.close();
    Database reopened = Database::open(path_);
    EXPECT_EQ(reopened.property("TidxTexts", "L1031", "Description").value, text("Text deutsch"));
    const Property order = reopened.property("TidxTexts", "L1031", "Order");
    EXPECT_EQ(order.type, DaoType::Long);
    EXPECT_EQ(order.value, number(3));
}

TEST_F(DbTest, IndexFlagsChange) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'a')");
    db_.setIndexUnique("TidxTexts", "PIDName", false);
    EXPECT_NO_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'A')"));
    EXPECT_THROW(db_.setIndexUnique("TidxTexts", "PIDName", true), Error);
    EXPECT_FALSE(db_.tableDef("TidxTexts").index("PIDName").unique);
    db_.appendField("TidxTexts", FieldDef("Type", DaoType::Long));
    db_.appendIndex("TidxTexts", {"Type", {"Type"}});
    db_.setIndexRequired("TidxTexts", "Type", false);
    EXPECT_THROW(db_.setIndexRequired("TidxTexts", "Type", true), Error); // old rows are Null
    exec("UPDATE TidxTexts SET Type = -1");
    db_.setIndexRequired("TidxTexts", "Type", true);
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (5, 'n')"), Error);
}

TEST_F(DbTest, AutoNumberCountsUpAndIsNotReused) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'a'), (1, 'b')");
    exec("DELETE FROM TidxTexts WHERE Name = 'b'");
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'c')");
    auto id = db_.connection().prepare("SELECT ID FROM TidxTexts WHERE Name = 'c'");
    ASSERT_TRUE(id.step());
    EXPECT_EQ(id.getInt(0), 3);
}

TEST_F(DbTest, DeletedFieldLeavesTheCatalogue) {
    createTexts();
    db_.appendProperty("TidxTexts", "L1033", Property::text("Description", "x"));
    db_.deleteField("TidxTexts", "L1033");
    EXPECT_THAT(columnNames("TidxTexts"), ElementsAre("ID", "ParentID", "Name", "L1031"));
    db_.appendField("TidxTexts", textField("L1033", 100));
    EXPECT_THROW(db_.property("TidxTexts", "L1033", "Description"), Error);
}

// One change that deletes and appends several columns keeps all the rest as
// the one-field operations do: rows and their identities, indexes, rules, the
// auto number counter and the catalogue.
TEST_F(DbTest, ChangeOfSeveralFieldsKeepsEverythingElse) {
    createTexts();
    db_.appendProperty("TidxTexts", "L1031", Property::text("Description", "Deutsch"));
    exec("INSERT INTO TidxTexts (ParentID, Name, L1031, L1033) VALUES "
         "(1, 'a', 'eins', 'one'), (1, 'b', 'zwei', 'two'), (2, 'c', 'drei', 'three')");
    exec("DELETE FROM TidxTexts WHERE Name = 'c'");
    FieldDef french = textField("L1036", 255);
    french.defaultValue = "\"\"";
    FieldDef italian("L1040", DaoType::Long);
    italian.required = true;
    italian.defaultValue = "1";
    db_.changeFields("TidxTexts", {"L1033"}, {french, italian});

    EXPECT_THAT(columnNames("TidxTexts"),
                ElementsAre("ID", "ParentID", "Name", "L1031", "L1036", "L1040"));
    auto rows = db_.connection().prepare(
        "SELECT ID, Name, L1031, L1036 IS NULL, L1040 IS NULL FROM TidxTexts ORDER BY ID");
    for (const auto& [id, name, german] : {std::tuple{1, "a", "eins"}, {2, "b", "zwei"}}) {
        ASSERT_TRUE(rows.step());
        EXPECT_EQ(rows.getInt(0), id);
        EXPECT_EQ(rows.getText(1), name);
        EXPECT_EQ(rows.getText(2), german);
        EXPECT_EQ(rows.getInt(3), 1) << "stored rows hold Null in an appended field";
        EXPECT_EQ(rows.getInt(4), 1);
    }
    EXPECT_FALSE(rows.step());
    EXPECT_EQ(db_.property("TidxTexts", "L1031", "Description").value, text("Deutsch"));
    // The unique key, the old and the new rules hold; numbers are not reused.
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'A')"), Error);
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID) VALUES (1)"), Error);
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name, L1040) VALUES (1, 'n', NULL)"),
                 Error);
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'd')");
    auto added =
        db_.connection().prepare("SELECT ID, L1036, L1040 FROM TidxTexts WHERE Name = 'd'");
    ASSERT_TRUE(added.step());
    EXPECT_EQ(added.getInt(0), 4);
    EXPECT_EQ(added.getText(1), "");
    EXPECT_EQ(added.getInt(2), 1);
    db_.close();
    EXPECT_NO_THROW(Database::open(path_));
}

TEST_F(DbTest, TableLookupIgnoresCaseAndFailsForMissingTable) {
    createTexts();
    EXPECT_EQ(db_.tableDef("tidxtexts").name, "TidxTexts");
    EXPECT_TRUE(db_.hasTable("TIDXTEXTS"));
    EXPECT_THAT(db_.tableNames(), ElementsAre("TidxTexts"));
    try {
        db_.tableDef("TalaMessages");
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), errors::itemNotFound);
        EXPECT_THAT(error.what(), HasSubstr("TalaMessages"));
    }
}

} // namespace
} // namespace korvana::db::test
