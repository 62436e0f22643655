// Changing a default and rebuilding a table must leave every stored row as it
// was, whether it was written before or after its columns were appended.
#include "DbTestSupport.h"
#include "platform/Error.h"

#include <gmock/gmock.h>
#include <optional>

namespace korvana::db::test {
namespace {

using ::testing::ElementsAre;

class StoredRowsTest : public DbTest {
  protected:
    std::int64_t rootPage(const char* table) {
        auto query = db_.connection().prepare("SELECT rootpage FROM sqlite_master WHERE name = ?1");
        query.bind(1, std::string_view(table));
        EXPECT_TRUE(query.step());
        return query.getInt(0);
    }

    Value valueOf(const char* name, const std::string& field) {
        auto rs = db_.openRecordset("TidxTexts");
        rs.setIndex("PIDName");
        EXPECT_TRUE(rs.seek("=", {number(1), text(name)})) << name;
        return rs.field(field);
    }

    void expectIntact() {
        auto check = db_.connection().prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check.step());
        EXPECT_EQ(check.getText(0), "ok");
        db_.close();
        db_ = Database::open(path_);
    }
};

// A column appended to a table with rows, then given another default.
struct DefaultChange {
    const char* name;
    FieldDef field;
    std::optional<std::string> newDefault;
    Value before;  // rows stored before the column was appended
    Value between; // rows added between the append and the change
    Value after;   // rows added after the change
};

class DefaultChangeTest : public StoredRowsTest,
                          public ::testing::WithParamInterface<DefaultChange> {};

TEST_P(DefaultChangeTest, OnlyLaterRowsGetTheNewDefaultAndTheTableStays) {
    const auto& change = GetParam();
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'before')");
    db_.appendField("TidxTexts", change.field);
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'between')");
    const auto page = rootPage("TidxTexts");

    db_.setDefaultValue("TidxTexts", change.field.name, change.newDefault);
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'after')");

    EXPECT_EQ(rootPage("TidxTexts"), page) << "the table was copied";
    EXPECT_EQ(valueOf("before", change.field.name), change.before);
    EXPECT_EQ(valueOf("between", change.field.name), change.between);
    EXPECT_EQ(valueOf("after", change.field.name), change.after);
    expectIntact();
    EXPECT_EQ(db_.tableDef("TidxTexts").field(change.field.name).defaultValue, change.newDefault);
    // Once more: rows now carry their own values, whatever the definition says.
    db_.setDefaultValue("TidxTexts", change.field.name, std::nullopt);
    EXPECT_EQ(valueOf("before", change.field.name), change.before);
    EXPECT_EQ(valueOf("after", change.field.name), change.after);
}

FieldDef withDefault(FieldDef field, std::optional<std::string> expression) {
    field.defaultValue = std::move(expression);
    return field;
}

FieldDef comment() {
    FieldDef field("Comment", DaoType::Text, 20);
    field.allowZeroLength = true;
    return field;
}

INSTANTIATE_TEST_SUITE_P(
    Columns, DefaultChangeTest,
    ::testing::Values(
        DefaultChange{"TextWithoutDefault", comment(), "\"new\"", Value{}, Value{}, text("new")},
        DefaultChange{"TextDefaultReplaced", withDefault(comment(), "\"old\""), "\"new\"", Value{},
                      text("old"), text("new")},
        DefaultChange{"TextDefaultRemoved", withDefault(comment(), "\"old\""), "", Value{},
                      text("old"), Value{}},
        DefaultChange{"BooleanBecomesTrue", FieldDef("Enabled", DaoType::Boolean), "True",
                      Value(false), Value(false), Value(true)},
        DefaultChange{"LongDefaultReplaced", withDefault(FieldDef("Limit", DaoType::Long), "1000"),
                      "5", Value{}, number(1000), number(5)}),
    ParamName());

// Which rows lack an appended column is recorded in the file; the record must
// follow renames, and a file without it must be read as if any row could.
TEST_F(StoredRowsTest, RowsLackingAColumnKeepNullAfterRenamesAndInFilesWithoutTheRecord) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'oldest')");
    db_.appendField("TidxTexts", comment());
    db_.renameField("TidxTexts", "Comment", "Remark");
    db_.setDefaultValue("TidxTexts", "Remark", "\"new\"");
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'newest')");
    EXPECT_EQ(valueOf("oldest", "Remark"), Value{});
    EXPECT_EQ(valueOf("newest", "Remark"), text("new"));

    // A file made before the record existed.
    exec("DROP TABLE kv_unstored");
    FieldDef note = comment();
    note.name = "Note";
    db_.appendField("TidxTexts", note);
    db_.setDefaultValue("TidxTexts", "Note", "\"n\"");
    EXPECT_EQ(valueOf("oldest", "Note"), Value{});
    EXPECT_EQ(valueOf("newest", "Note"), Value{});
    expectIntact();
}

TEST_F(StoredRowsTest, DefaultOfADefinitionWrittenElsewhereChangesThroughACopy) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (1, 'kept', 'Text')");
    // The same table as SQLite's tools might have left it: other spacing.
    db_.connection().exec("PRAGMA writable_schema = ON");
    db_.connection().exec("UPDATE sqlite_master SET sql = replace(sql, ', ', ' , ')"
                          " WHERE name = 'TidxTexts'");
    db_.connection().exec("PRAGMA writable_schema = OFF");
    db_.close();
    db_ = Database::open(path_);

    db_.setDefaultValue("TidxTexts", "L1031", "\"de\"");
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'new')");
    EXPECT_EQ(valueOf("kept", "L1031"), text("Text"));
    EXPECT_EQ(valueOf("new", "L1031"), text("de"));
    expectIntact();
}

TEST_F(StoredRowsTest, RebuildKeepsIdsKeysAndTheAutoNumberIndex) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'a'), (1, 'b'), (1, 'c')");
    exec("DELETE FROM TidxTexts WHERE Name = 'b'");
    db_.appendField("TidxTexts", comment());
    db_.setOrdinalPosition("TidxTexts", "Comment", 1);

    const TableDef table = db_.tableDef("TidxTexts");
    EXPECT_THAT(table.index("ID").fields, ElementsAre("ID"));
    EXPECT_TRUE(table.index("ID").primary);
    // The auto number is the rowid: its index keeps no second copy of it.
    auto partial = db_.connection().prepare(
        "SELECT partial FROM pragma_index_list('TidxTexts') WHERE name = 'TidxTexts.ID'");
    ASSERT_TRUE(partial.step());
    EXPECT_EQ(partial.getInt(0), 1);

    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("ID");
    ASSERT_TRUE(rs.seek("=", {number(3)}));
    EXPECT_EQ(rs.field("Name"), text("c"));
    EXPECT_FALSE(rs.seek("=", {number(2)}));
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ID, ParentID, Name) VALUES (3, 2, 'x')"), Error);
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'A')"), Error);
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'd')");
    EXPECT_EQ(valueOf("d", "ID"), number(4));
    expectIntact();
}

// A rebuild hands unchanged indexes over as they are; one that SQLite holds in
// another shape than the engine's is sorted anew, or its b-tree would no longer
// match its definition.
TEST_F(StoredRowsTest, RebuildKeepsIndexesThatMatchAndSortsTheOthersAgain) {
    createTexts();
    db_.appendIndex("TidxTexts", IndexDef{"German", {"L1031"}, false, false, false});
    for (int i = 0; i < 300; ++i) {
        auto insert = db_.connection().prepare(
            "INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES (?1, ?2, ?3)");
        insert.bind(1, std::int64_t{i % 3});
        insert.bind(2, (i % 2 ? "Name" : "NAME") + std::to_string(i));
        insert.bind(3, "t" + std::to_string(300 - i));
        insert.run();
    }
    // As another tool might have made it: descending, without the collation.
    exec("DROP INDEX \"TidxTexts.German\"");
    exec("CREATE INDEX \"TidxTexts.German\" ON TidxTexts (L1031 DESC)");
    const std::int64_t pidNameRoot = rootPage("TidxTexts.PIDName");

    db_.setOrdinalPosition("TidxTexts", "L1033", 1);

    EXPECT_EQ(rootPage("TidxTexts.PIDName"), pidNameRoot);
    auto german =
        db_.connection().prepare("SELECT sql FROM sqlite_master WHERE name = 'TidxTexts.German'");
    ASSERT_TRUE(german.step());
    EXPECT_EQ(german.getText(0), "CREATE INDEX \"TidxTexts.German\" ON \"TidxTexts\" (\"L1031\")");
    expectIntact();
    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("PIDName");
    ASSERT_TRUE(rs.seek("=", {number(1), text("name7")}));
    EXPECT_EQ(rs.field("L1031"), text("t293"));
    rs.setIndex("German");
    ASSERT_TRUE(rs.seek("=", {text("T10")}));
    EXPECT_EQ(rs.field("Name"), text("NAME290"));
    EXPECT_THROW(exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (2, 'name5')"), Error);
}

} // namespace
} // namespace korvana::db::test
