#include "DbTestSupport.h"
#include "db/Catalogue.h"
#include "db/Sqlite.h"

#include <gmock/gmock.h>
#include <optional>

namespace korvana::db::test {
namespace {

using ::testing::HasSubstr;

// ---------------------------------------------------------------------------
// The catalogue's agreement with the schema about one table, which debug
// builds check at the end of every schema operation. Each case breaks it the
// way a tool writing the file behind the engine's back could.

struct BrokenCatalogue {
    const char* name;
    const char* table; // the table asked about
    const char* breaking;
    const char* disagreement;
};

class CatalogueAgreementTest : public DbTest,
                               public ::testing::WithParamInterface<BrokenCatalogue> {};

TEST_P(CatalogueAgreementTest, NamesWhatTheCatalogueGotWrong) {
    createTexts();
    db_.appendProperty("TidxTexts", "Name", Property{"Caption", DaoType::Text, text("Name")});
    ASSERT_EQ(Catalogue(db_.connection()).disagreementAbout(GetParam().table), std::nullopt);
    exec(GetParam().breaking);
    const auto disagreement = Catalogue(db_.connection()).disagreementAbout(GetParam().table);
    ASSERT_TRUE(disagreement.has_value());
    EXPECT_THAT(*disagreement, HasSubstr(GetParam().disagreement));
}

INSTANTIATE_TEST_SUITE_P(
    Breakages, CatalogueAgreementTest,
    ::testing::Values(
        BrokenCatalogue{"UnrecordedColumn", "TidxTexts",
                        "ALTER TABLE TidxTexts ADD COLUMN Extra INTEGER",
                        "column 'TidxTexts.Extra' is not recorded"},
        BrokenCatalogue{
            "RecordedColumnMissing", "TidxTexts",
            "INSERT INTO kv_columns VALUES ('TidxTexts', 'Gone', 9, 4, 4, 0, 0, NULL, 0)",
            "recorded column 'TidxTexts.Gone' does not exist"},
        BrokenCatalogue{"PositionsOutOfOrder", "TidxTexts",
                        "UPDATE kv_columns SET Position = 9 WHERE ColumnName = 'Name'",
                        "column 'TidxTexts.L1031' stands after 'Name'"},
        BrokenCatalogue{"PropertyOfNoColumn", "TidxTexts",
                        "UPDATE kv_properties SET ColumnName = 'Gone'",
                        "a property of 'TidxTexts.Gone' belongs to no column"},
        BrokenCatalogue{"UnrecordedIndex", "TidxTexts",
                        "CREATE INDEX \"TidxTexts.Extra\" ON TidxTexts (L1031)",
                        "index 'TidxTexts.Extra' of table 'TidxTexts' is not recorded"},
        BrokenCatalogue{"RecordedIndexMissing", "TidxTexts", "DROP INDEX \"TidxTexts.PIDName\"",
                        "recorded index 'PIDName' of table 'TidxTexts' does not exist"},
        // Asked in another case, as the operations may name a table.
        BrokenCatalogue{"TableGoneRecordKept", "tidxtexts", "DROP TABLE TidxTexts",
                        "recorded table 'tidxtexts' does not exist"}),
    ParamName());

// ---------------------------------------------------------------------------
// Debug builds stop where an invariant breaks, before anything is committed.

#ifndef NDEBUG

using InvariantDeathTest = DbTest;

TEST_F(InvariantDeathTest, SchemaOperationOnATableTheCatalogueDisagreesAbout) {
    createTexts();
    exec("CREATE INDEX \"TidxTexts.Extra\" ON TidxTexts (L1031)");
    EXPECT_DEATH(db_.setRequired("TidxTexts", "L1033", true),
                 "catalogue disagrees with the schema: index 'TidxTexts.Extra'");
}

TEST_F(InvariantDeathTest, SavepointReleasedTwice) {
    // Released again, the inner savepoint would end the outer one in its place.
    sqlite::Savepoint outer(db_.connection());
    EXPECT_DEATH(
        {
            sqlite::Savepoint inner(db_.connection());
            inner.release();
            inner.release();
        },
        "done_");
}

TEST_F(InvariantDeathTest, SavepointEndedWhileAnInnerOneIsOpen) {
    EXPECT_DEATH(
        {
            sqlite::Savepoint outer(db_.connection());
            std::optional<sqlite::Savepoint> inner;
            inner.emplace(db_.connection());
            outer.release();
        },
        "openSavepoints_ == depth_");
}

TEST_F(InvariantDeathTest, CommitWithASavepointOpen) {
    EXPECT_DEATH(
        {
            auto transaction = db_.transaction();
            sqlite::Savepoint unfinished(db_.connection());
            transaction.commit();
        },
        "openSavepoints\\(\\) == 0");
}

#endif

} // namespace
} // namespace korvana::db::test
