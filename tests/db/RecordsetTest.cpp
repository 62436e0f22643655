#include "DbTestSupport.h"
#include "db/DbErrors.h"
#include "db/SkipOnError.h"
#include "platform/Error.h"

#include <gmock/gmock.h>

namespace korvana::db::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class RecordsetTest : public DbTest {
  protected:
    RecordsetTest() {
        createTexts();
        exec("INSERT INTO TidxTexts (ParentID, Name, L1031) VALUES"
             " (2, 'Font1', 'b'), (1, 'Zeta', NULL), (1, 'Alpha', 'a'), (2, 'Beta', NULL)");
    }

    std::vector<std::string> names(Recordset& rs) {
        std::vector<std::string> result;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            result.push_back(std::get<std::string>(rs.field("Name")));
        }
        return result;
    }
};

TEST_F(RecordsetTest, TableRecordsetFollowsItsIndex) {
    auto rs = db_.openRecordset("TidxTexts", RecordsetType::Table);
    EXPECT_THAT(names(rs), ElementsAre("Font1", "Zeta", "Alpha", "Beta"));
    rs.setIndex("PIDName");
    EXPECT_THAT(names(rs), ElementsAre("Alpha", "Zeta", "Beta", "Font1"));
}

struct SeekCase {
    const char* name;
    std::vector<Value> key;
    const char* found; // nullptr: no match
};

class SeekTest : public RecordsetTest, public ::testing::WithParamInterface<SeekCase> {};

TEST_P(SeekTest, SeeksOnTheMultiColumnKey) {
    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("PIDName");
    const bool found = rs.seek("=", GetParam().key);
    EXPECT_EQ(found, GetParam().found != nullptr);
    EXPECT_EQ(rs.noMatch(), !found);
    if (GetParam().found) {
        EXPECT_EQ(rs.field("Name"), text(GetParam().found));
    } else {
        EXPECT_TRUE(rs.eof());
        EXPECT_THROW(rs.field("Name"), Error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SeekTest,
    ::testing::Values(SeekCase{"Exact", {number(2), text("Font1")}, "Font1"},
                      SeekCase{"IgnoresCase", {number(2), text("FONT1")}, "Font1"},
                      SeekCase{"OtherParent", {number(1), text("Font1")}, nullptr},
                      SeekCase{"PartialKeyFindsFirstInOrder", {number(2)}, "Beta"},
                      SeekCase{"TextKeyForNumber", {text("1"), text("zeta")}, "Zeta"},
                      SeekCase{"QuoteInKeyIsJustText", {number(1), text("x' OR '1'='1")}, nullptr}),
    ParamName());

TEST_F(RecordsetTest, SeekThenMoveNextContinuesInIndexOrder) {
    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("PIDName");
    ASSERT_TRUE(rs.seek("=", {number(1), text("Zeta")}));
    rs.moveNext();
    EXPECT_EQ(rs.field("Name"), text("Beta"));
}

TEST_F(RecordsetTest, AddNewThenLastModifiedGivesTheNewAutoNumber) {
    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("PIDName");
    ASSERT_TRUE(rs.seek("=", {number(1), text("Alpha")}));
    rs.addNew();
    rs.setField("ParentID", number(3));
    rs.setField("Name", text("New"));
    rs.update();
    // The current record is still the one before AddNew.
    EXPECT_EQ(rs.field("Name"), text("Alpha"));
    rs.setBookmark(rs.lastModified());
    EXPECT_EQ(rs.field("Name"), text("New"));
    EXPECT_EQ(rs.field("ID"), number(5));
    rs.addNew();
    rs.setField("ParentID", number(3));
    rs.setField("Name", text("Newer"));
    rs.update();
    rs.setBookmark(rs.lastModified());
    EXPECT_EQ(rs.field("ID"), number(6));
}

TEST_F(RecordsetTest, EditAndDelete) {
    auto rs = db_.openRecordset("TidxTexts");
    rs.setIndex("PIDName");
    ASSERT_TRUE(rs.seek("=", {number(1), text("Zeta")}));
    rs.edit();
    rs.setField("L1031", text("z"));
    EXPECT_EQ(rs.field("L1031"), text("z")); // the value being written
    rs.update();
    EXPECT_EQ(rs.field("L1031"), text("z"));
    EXPECT_EQ(rs.lastModified(), rs.bookmark());

    rs.deleteRecord();
    EXPECT_THROW(rs.field("Name"), Error);
    rs.moveNext();
    EXPECT_EQ(rs.field("Name"), text("Beta"));
    EXPECT_FALSE(rs.seek("=", {number(1), text("Zeta")}));
}

TEST_F(RecordsetTest, WritesObeyTheRules) {
    auto rs = db_.openRecordset("TidxTexts");
    rs.addNew();
    rs.setField("ParentID", number(2));
    rs.setField("Name", text("FONT1")); // same key as Font1
    EXPECT_THROW(rs.update(), Error);
    rs.addNew();
    rs.setField("ParentID", number(2));
    EXPECT_THROW(rs.update(), Error); // Name is required
    EXPECT_THROW(rs.setField("ID", number(99)), Error);
    rs.cancelUpdate();
    EXPECT_THROW(rs.setField("Name", text("x")), Error); // no AddNew or Edit
    EXPECT_THROW(rs.update(), Error);
}

TEST_F(RecordsetTest, BooleansReadAndWriteAsJetKeepsThem) {
    db_.appendField("TidxTexts", FieldDef("Delete", DaoType::Boolean));
    auto rs = db_.openRecordset("TidxTexts");
    rs.edit();
    rs.setField("Delete", number(1)); // any number but 0 is True
    rs.update();
    EXPECT_EQ(rs.field("Delete"), Value(true));
    auto stored = db_.connection().prepare("SELECT \"Delete\" FROM TidxTexts WHERE ID = 1");
    ASSERT_TRUE(stored.step());
    EXPECT_EQ(stored.getInt(0), -1);
}

TEST_F(RecordsetTest, BinaryValuesRoundTrip) {
    TableDef binary("TcfgBinary");
    FieldDef id("ID", DaoType::Long);
    id.autoNumber = true;
    binary.fields.push_back(id);
    binary.fields.emplace_back("ParentID", DaoType::Long);
    binary.fields.emplace_back("Section", DaoType::Text, 255);
    binary.fields.emplace_back("Entry", DaoType::Text, 255);
    binary.fields.emplace_back("Value", DaoType::LongBinary);
    binary.indexes.push_back({"PIDSectionEntry", {"ParentID", "Section", "Entry"}, false, true});
    db_.appendTableDef(binary);
    auto rs = db_.openRecordset("TcfgBinary");
    rs.setIndex("PIDSectionEntry");
    ASSERT_FALSE(rs.seek("=", {number(0), text("Visual Basic"), text("Dock")}));
    rs.addNew();
    rs.setField("ParentID", number(0));
    rs.setField("Section", text("Visual Basic"));
    rs.setField("Entry", text("Dock"));
    rs.update();
    ASSERT_TRUE(rs.seek("=", {number(0), text("visual basic"), text("DOCK")}));
    rs.edit();
    rs.setField("Value", Bytes{0, 1, 0xff});
    rs.update();
    ASSERT_TRUE(rs.seek("=", {number(0), text("Visual Basic"), text("Dock")}));
    EXPECT_EQ(rs.field("Value"), Value(Bytes{0, 1, 0xff}));
}

TEST_F(RecordsetTest, FindOnlyOnDynasetsSeekOnlyOnTables) {
    auto table = db_.openRecordset("TidxTexts", RecordsetType::Table);
    EXPECT_THROW(table.findFirst("ParentID = 1"), Error);
    auto dynaset = db_.openRecordset("TidxTexts", RecordsetType::Dynaset);
    EXPECT_THROW(dynaset.setIndex("PIDName"), Error);
    EXPECT_THROW(db_.openRecordset("Missing"), Error);
}

TEST_F(RecordsetTest, FindFirstAndFindNextWithCriteria) {
    auto rs = db_.openRecordset("TidxTexts", RecordsetType::Dynaset);
    ASSERT_TRUE(rs.findFirst("IsNull(L1031) AND ParentID = 2"));
    EXPECT_EQ(rs.field("Name"), text("Beta"));
    ASSERT_TRUE(rs.findFirst("IsNull(L1031)"));
    EXPECT_EQ(rs.field("Name"), text("Zeta"));
    ASSERT_TRUE(rs.findNext("IsNull(L1031)"));
    EXPECT_EQ(rs.field("Name"), text("Beta"));
    EXPECT_FALSE(rs.findNext("IsNull(L1031)"));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(rs.field("Name"), text("Beta")); // position kept
    ASSERT_TRUE(rs.findFirst("Name = 'font1'"));
    EXPECT_EQ(rs.field("ID"), number(1));
    EXPECT_THROW(rs.findFirst("Name = 'a'; DROP TABLE TidxTexts"), Error);
    EXPECT_TRUE(db_.hasTable("TidxTexts"));
}

// ---------------------------------------------------------------------------

class MemoryLog : public DebugLog {
  public:
    void write(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

TEST_F(RecordsetTest, SkipOnErrorGoesOnAndLogsEachSkip) {
    MemoryLog log;
    SkipOnError attempt(log, "4.01.004");
    int after = 0;
    EXPECT_FALSE(attempt("rename Missing", [&] { db_.renameField("TidxTexts", "Missing", "X"); }));
    EXPECT_TRUE(attempt("count", [&] { ++after; }));
    EXPECT_FALSE(attempt("lookup", [&] { db_.tableDef("TchrTrends"); }));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(attempt.skipped(), 2);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_THAT(log.lines[0], HasSubstr("4.01.004: skipped rename Missing"));
    EXPECT_THAT(log.lines[0], HasSubstr("Missing"));
    EXPECT_THAT(log.lines[1], HasSubstr("TchrTrends"));
}

} // namespace
} // namespace korvana::db::test
