#include "DbTestSupport.h"
#include "platform/Error.h"

#include <gmock/gmock.h>

namespace korvana::db::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class StatementTest : public DbTest {
  protected:
    StatementTest() {
        TableDef trends("TchrTrends");
        FieldDef id("ID", DaoType::Long);
        id.autoNumber = true;
        trends.fields.push_back(id);
        trends.fields.emplace_back("Name", DaoType::Text, 255);
        trends.fields.emplace_back("Unit", DaoType::Text, 20);
        trends.fields.emplace_back("OrderNum", DaoType::Long);
        trends.fields.emplace_back("Comment", DaoType::Text, 255);
        db_.appendTableDef(trends);
        exec("INSERT INTO TchrTrends (Name, Unit, OrderNum) VALUES"
             " ('" +
             std::string(60, 'n') + "', 'bar', 1), ('short', NULL, 2)");
    }

    std::vector<Value> column(const char* name) {
        std::vector<Value> values;
        auto rs = db_.openRecordset("TchrTrends");
        for (; !rs.eof(); rs.moveNext()) {
            values.push_back(rs.field(name));
        }
        return values;
    }
};

TEST_F(StatementTest, ExecuteRunsActionStatementsWithBoundValues) {
    EXPECT_EQ(db_.execute("UPDATE TchrTrends SET Comment = 'x' & Unit WHERE NOT IsNull(Unit)"), 1);
    EXPECT_THAT(column("Comment"), ElementsAre(text("xbar"), Value{}));
    EXPECT_EQ(db_.execute("UPDATE [TchrTrends] SET [Comment] = 'it''s'"), 2);
    EXPECT_THAT(column("Comment"), ElementsAre(text("it's"), text("it's")));
    EXPECT_THROW(db_.execute("SELECT * FROM TchrTrends"), Error);
    EXPECT_THROW(db_.execute("UPDATE kv_columns SET Size = 1"), Error);
    EXPECT_THROW(db_.execute("UPDATE TchrTrends SET Unit = '" + std::string(30, 'u') + "'"), Error);
    const QueryResult rows = db_.query("SELECT * FROM TchrTrends WHERE OrderNum = 2");
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0][1], text("short"));
}

// A statement that fails after it changed rows is taken back without a commit:
// a commit would still write a new change counter into the file's header.
TEST_F(StatementTest, RefusedStatementLeavesTheFileByteForByte) {
    exec("INSERT INTO TchrTrends (Name, Unit, OrderNum) VALUES ('" + std::string(25, 'm') +
         "', 'kg', 3)");
    const std::string before = korvana::test::readFile(path_);
    for (const char* statement : {
             // 'short' fits into Unit, the third row's name does not.
             "UPDATE TchrTrends SET Unit = Name WHERE OrderNum > 1",
             "UPDATE TchrTrends SET OrderNum = OrderNum + 1, Unit = Name & Unit",
             "DELETE FROM TchrTrends WHERE NoSuchColumn = 1",
         }) {
        EXPECT_THROW(db_.execute(statement), Error) << statement;
        EXPECT_TRUE(korvana::test::readFile(path_) == before) << statement;
    }
    EXPECT_EQ(db_.execute("UPDATE TchrTrends SET Unit = 'bar' WHERE OrderNum = 3"), 1);
}

TEST_F(StatementTest, TypeChangeKeepsTheDataAndThePlace) {
    FieldDef order("OrderNum", DaoType::Single);
    order.required = true;
    order.defaultValue = "0";
    order.properties.push_back(Property::text("Description", "Position innerhalb der Struktur"));
    order.ordinalPosition = 1;
    db_.changeField("TchrTrends", order, "UPDATE TchrTrends SET OrderNumTemp = OrderNum;");
    EXPECT_THAT(columnNames("TchrTrends"),
                ElementsAre("ID", "OrderNum", "Name", "Unit", "Comment"));
    const TableDef table = db_.tableDef("TchrTrends");
    EXPECT_EQ(table.field("OrderNum").type, DaoType::Single);
    EXPECT_EQ(db_.property("TchrTrends", "OrderNum", "Description").value,
              text("Position innerhalb der Struktur"));
    EXPECT_THAT(column("OrderNum"), ElementsAre(Value(1.0), Value(2.0)));
    // The rules follow the column to its old name; nothing is left of the copy.
    EXPECT_THROW(exec("UPDATE TchrTrends SET OrderNum = NULL"), Error);
    EXPECT_THROW(exec("UPDATE TchrTrends SET OrderNum = 'x'"), Error);
    auto leftovers = db_.connection().prepare(
        "SELECT count(*) FROM sqlite_master WHERE name LIKE '%OrderNumTemp%' OR sql LIKE "
        "'%OrderNumTemp%'");
    ASSERT_TRUE(leftovers.step());
    EXPECT_EQ(leftovers.getInt(0), 0);
}

TEST_F(StatementTest, IndexedColumnIsNotChanged) {
    db_.appendIndex("TchrTrends", IndexDef{"Unit", {"Unit"}, false, false, false});
    const std::string before = snapshot();
    FieldDef unit("Unit", DaoType::Text, 50);
    EXPECT_THROW(db_.changeField("TchrTrends", unit, "UPDATE TchrTrends SET UnitTemp = Unit;"),
                 Error);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StatementTest, ShorterTextKeepsTheLeftPart) {
    FieldDef name("Name", DaoType::Text, 50);
    name.required = true;
    name.ordinalPosition = 1;
    db_.changeField("TchrTrends", name, "UPDATE TchrTrends SET NameTemp = Left(Name,50);");
    EXPECT_THAT(column("Name"), ElementsAre(text(std::string(50, 'n').c_str()), text("short")));
    EXPECT_EQ(db_.tableDef("TchrTrends").field("Name").size, 50);
}

// A copy that breaks the new column's rules changes nothing, whether the
// copy of the table computes the column or the statement fills it first.
struct FailedCopy {
    const char* label;
    FieldDef replacement;
    const char* statement;
    const char* message;
};

FieldDef requiredUnit() {
    FieldDef unit("Unit", DaoType::Text, 255);
    unit.required = true;
    return unit;
}

class FailedCopyTest : public StatementTest, public ::testing::WithParamInterface<FailedCopy> {};

TEST_P(FailedCopyTest, KeepsTheOldColumnAndItsValues) {
    const std::string before = snapshot();
    try {
        db_.changeField("TchrTrends", GetParam().replacement, GetParam().statement);
        FAIL();
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(GetParam().message));
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_THAT(column("Unit"), ElementsAre(text("bar"), Value{}));
    EXPECT_THAT(columnNames("TchrTrends"),
                ElementsAre("ID", "Name", "Unit", "OrderNum", "Comment"));
}

INSTANTIATE_TEST_SUITE_P(
    Copies, FailedCopyTest,
    ::testing::Values(FailedCopy{"NullIntoRequired", requiredUnit(),
                                 "UPDATE TchrTrends SET UnitTemp = Unit;",
                                 "'TchrTrends.Unit' cannot contain a Null value"},
                      FailedCopy{"NullIntoRequiredBySelectedRows", requiredUnit(),
                                 "UPDATE TchrTrends SET UnitTemp = Unit WHERE ID > 0",
                                 "'TchrTrends.UnitTemp' cannot contain a Null value"},
                      FailedCopy{"TextTooLong", FieldDef("Name", DaoType::Text, 50),
                                 "UPDATE TchrTrends SET NameTemp = Name",
                                 "holds at most 50 characters"}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

} // namespace
} // namespace korvana::db::test
