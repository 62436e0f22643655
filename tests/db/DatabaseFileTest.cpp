#include "DbTestSupport.h"
#include "db/DbErrors.h"
#include "platform/Error.h"

#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvana::db::test {
namespace {

using korvana::test::readFile;
using korvana::test::writeFile;
using ::testing::HasSubstr;

// ---------------------------------------------------------------------------
// Files that are not sound project databases are refused and left as they are.

struct BadFile {
    const char* name;
    // Makes the file at the given path.
    std::function<void(const std::string&)> make;
    const char* messagePart;
};

void makeProject(const std::string& path) {
    Database db = Database::create(path);
    TableDef groups("TidxGroups");
    groups.fields.emplace_back("Name", DaoType::Text, 255);
    db.appendTableDef(groups);
    auto insert = db.connection().prepare("INSERT INTO TidxGroups (Name) VALUES (?1)");
    for (int i = 0; i < 500; ++i) {
        insert.reset();
        insert.bind(1, std::string(200, 'x') + std::to_string(i));
        insert.run();
    }
}

class BadFileTest : public ::testing::TestWithParam<BadFile> {
  protected:
    korvana::test::ScratchDir scratch_;
};

TEST_P(BadFileTest, IsRefusedAndLeftUntouched) {
    const std::string path = (scratch_ / "project.kvs").string();
    GetParam().make(path);
    const std::string before = readFile(path);
    try {
        Database::open(path);
        FAIL() << "opened";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(GetParam().messagePart));
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_THROW(Database::compact(path, path + ".tmp"), Error);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(
        BadFile{"EmptyFile", [](const std::string& p) { writeFile(p, ""); }, "too short"},
        BadFile{"TextFile", [](const std::string& p) { writeFile(p, std::string(4096, 'k')); },
                "not an SQLite database"},
        BadFile{"Truncated",
                [](const std::string& p) {
                    makeProject(p);
                    std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2);
                },
                "truncated"},
        BadFile{"NoCatalogue",
                [](const std::string& p) {
                    sqlite::Database raw(p, sqlite::Database::Mode::Create);
                    raw.exec("CREATE TABLE TidxGroups (Name TEXT)");
                },
                "catalogue"},
        BadFile{"TableUnknownToCatalogue",
                [](const std::string& p) {
                    makeProject(p);
                    sqlite::Database raw(p, sqlite::Database::Mode::ReadWrite);
                    raw.exec("CREATE TABLE Stray (A TEXT)");
                },
                "Stray"},
        BadFile{"ColumnUnknownToCatalogue",
                [](const std::string& p) {
                    makeProject(p);
                    sqlite::Database raw(p, sqlite::Database::Mode::ReadWrite);
                    raw.exec("ALTER TABLE TidxGroups ADD COLUMN Extra TEXT");
                },
                "TidxGroups.Extra"},
        BadFile{"RecordedTableMissing",
                [](const std::string& p) {
                    makeProject(p);
                    sqlite::Database raw(p, sqlite::Database::Mode::ReadWrite);
                    raw.exec("DROP TABLE TidxGroups");
                },
                "tidxgroups"}),
    ParamName());

TEST(DatabaseFiles, MissingFileIsNotCreated) {
    korvana::test::ScratchDir scratch;
    const std::string path = (scratch / "none.kvs").string();
    try {
        Database::open(path);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), errors::fileNotFound);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(DatabaseFiles, CreateRefusesAnExistingFile) {
    korvana::test::ScratchDir scratch;
    const std::string path = (scratch / "p.kvs").string();
    writeFile(path, "keep me");
    EXPECT_THROW(Database::create(path), Error);
    EXPECT_EQ(readFile(path), "keep me");
}

TEST_F(DbTest, ChangeOnALockedDatabaseFailsClearlyAndChangesNothing) {
    createTexts();
    db_.close();
    sqlite::Database other(path_, sqlite::Database::Mode::ReadWrite);
    other.exec("BEGIN IMMEDIATE");
    Database db = Database::open(path_);
    sqlite3_busy_timeout(db.connection().handle(), 100);
    try {
        db.appendField("TidxTexts", FieldDef("Extra", DaoType::Long));
        FAIL();
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("locked"));
    }
    other.exec("ROLLBACK");
    EXPECT_EQ(db.tableDef("TidxTexts").findField("Extra"), nullptr);
}

// ---------------------------------------------------------------------------

TEST_F(DbTest, CompactionKeepsSchemaCatalogueAndRows) {
    createTexts();
    db_.appendProperty("TidxTexts", "Name", Property::text("Description", "Name des Textes"));
    db_.setDefaultValue("TidxTexts", "L1031", "\"\"");
    {
        auto fill = db_.transaction();
        for (int i = 0; i < 200; ++i) {
            exec("INSERT INTO TidxTexts (ParentID, Name, L1033) VALUES (1, 'n" + std::to_string(i) +
                 "', hex(randomblob(1000)))");
        }
        fill.commit();
    }
    exec("DELETE FROM TidxTexts WHERE ID > 10");
    const std::string before = snapshot();
    db_.close();
    const std::string compacted = path_ + ".tmp";
    Database::compact(path_, compacted);
    EXPECT_LT(std::filesystem::file_size(compacted), std::filesystem::file_size(path_));
    db_ = Database::open(compacted);
    EXPECT_EQ(snapshot(), before);
    // The auto number goes on where it was, not after the last row kept.
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (2, 'after')");
    auto id = db_.connection().prepare("SELECT max(ID) FROM TidxTexts");
    ASSERT_TRUE(id.step());
    EXPECT_EQ(id.getInt(0), 201);
    // A destination that exists is never overwritten.
    db_.close();
    EXPECT_THROW(Database::compact(path_, compacted), Error);
}

TEST_F(DbTest, StepTransactionRollsBackEverything) {
    createTexts();
    const std::string before = snapshot();
    {
        auto step = db_.transaction();
        db_.appendField("TidxTexts", FieldDef("A", DaoType::Long));
        EXPECT_THROW(db_.renameField("TidxTexts", "Missing", "B"), Error);
        db_.appendIndex("TidxTexts", {"A", {"A"}});
        // No commit: as if the process died in the middle of the step.
    }
    EXPECT_EQ(snapshot(), before);
    {
        auto step = db_.transaction();
        db_.appendField("TidxTexts", FieldDef("A", DaoType::Long));
        EXPECT_THROW(db_.appendField("TidxTexts", FieldDef("A", DaoType::Long)), Error);
        step.commit();
    }
    EXPECT_NE(db_.tableDef("TidxTexts").findField("A"), nullptr);
}

TEST_F(DbTest, CrashInTheMiddleOfAStepLeavesTheFileAsBefore) {
    createTexts();
    exec("INSERT INTO TidxTexts (ParentID, Name) VALUES (1, 'a')");
    const std::string before = snapshot();
    db_.close();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        Database db = Database::open(path_);
        // A tiny cache makes SQLite write changed pages to the file before the
        // commit, so the crash leaves a half-changed file and a journal.
        db.connection().exec("PRAGMA cache_size = 1");
        auto step = db.transaction();
        db.appendField("TidxTexts", FieldDef("Extra", DaoType::Long));
        db.setOrdinalPosition("TidxTexts", "Extra", 0);
        db.connection().exec("UPDATE TidxTexts SET Extra = 5");
        std::_Exit(0); // dies with the step half done and never committed
    }
    int status = 0;
    waitpid(child, &status, 0);
    db_ = Database::open(path_);
    EXPECT_EQ(snapshot(), before);
}

} // namespace
} // namespace korvana::db::test
