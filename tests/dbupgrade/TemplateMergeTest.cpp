#include "dbupgrade/TemplateMerge.h"

#include "CheckTestBed.h"
#include "db/FieldDef.h"

#include <gtest/gtest.h>

namespace korvana::dbupgrade {
namespace {

db::Value scalar(const std::filesystem::path& file, const std::string& sql) {
    auto database = db::Database::open(file.string());
    const auto result = database.query(sql);
    return result.rows.empty() ? db::Value{} : result.rows.front().front();
}

// Read straight from SQLite: the Jet dialect has no aggregates.
std::int64_t count(const std::filesystem::path& file, const std::string& sql) {
    auto database = db::Database::open(file.string());
    auto statement = database.connection().prepare(sql);
    return statement.step() ? statement.getInt(0) : -1;
}

void run(const std::filesystem::path& file, std::initializer_list<const char*> statements) {
    auto database = db::Database::open(file.string());
    for (const char* statement : statements) {
        database.execute(statement);
    }
}

// The project lacks the template's "KVDialogs" subtree (groups 12, 13 and
// texts 43-45), a text outside the system root and the font "Font4" with the
// class "Dialog"; it words "LongDate" its own way, and its fonts carry other
// IDs than the template's. Both have a third language column.
class TemplateMerge : public ::testing::Test, protected test::CheckTestBed {
  protected:
    TemplateMerge() {
        makeProject("4.05.000");
        run(projectFile,
            {"DELETE FROM TidxTexts WHERE ParentID = 13",
             "DELETE FROM TidxGroups WHERE ID = 12 OR ID = 13",
             "DELETE FROM TidxTexts WHERE Name = 'RezepteBearbeiten'",
             "UPDATE TidxTexts SET L1031 = 'Eigenes Format' WHERE Name = 'LongDate'",
             "DELETE FROM TidxFontClasses WHERE Name = 'Dialog'",
             "DELETE FROM TidxFonts WHERE Name = 'Font4'", "UPDATE TidxFonts SET ID = ID + 10",
             "UPDATE TidxFontClasses SET L1031 = L1031 + 10, L1033 = L1033 + 10"});
        for (const auto& file : {projectFile, templateFile}) {
            auto database = db::Database::open(file.string());
            database.appendField("TidxTexts", db::FieldDef("L1036", db::DaoType::Text));
        }
        run(templateFile, {"UPDATE TidxTexts SET L1036 = 'Texte'"});
    }

    void merge() {
        const MergeEnvironment environment{registry, configuration, installation, log};
        SyncTemplateTexts(environment, "Plant");
        SyncTemplateFonts(environment, "Plant");
    }

    std::int64_t rows(const char* table) {
        return count(projectFile, std::string("SELECT COUNT(*) FROM ") + table);
    }
};

TEST_F(TemplateMerge, AddsTheWholeMissingSubtreeBelowTheMatchingGroups) {
    merge();
    const auto root = count(projectFile, "SELECT ID FROM TidxGroups WHERE Type = -100");
    const auto dialogs = count(projectFile, "SELECT ID FROM TidxGroups WHERE Name = 'KVDialogs'");
    EXPECT_EQ(count(projectFile, "SELECT ParentID FROM TidxGroups WHERE Name = 'KVDialogs'"), root);
    EXPECT_EQ(count(projectFile, "SELECT ParentID FROM TidxGroups WHERE Name = 'Buttons'"),
              dialogs);
    EXPECT_EQ(count(projectFile, "SELECT Type FROM TidxGroups WHERE Name = 'Buttons'"), -103);
    const auto buttons = count(projectFile, "SELECT ID FROM TidxGroups WHERE Name = 'Buttons'");
    EXPECT_EQ(count(projectFile,
                    "SELECT COUNT(*) FROM TidxTexts WHERE ParentID = " + std::to_string(buttons)),
              3);
    EXPECT_EQ(scalar(projectFile, "SELECT L1031 FROM TidxTexts WHERE Name = 'Cancel'"),
              db::Value{std::string("Abbrechen")});
}

TEST_F(TemplateMerge, RehearsalTellsWhetherAnythingWouldBeAddedAndWritesNothing) {
    const MergeEnvironment environment{registry, configuration, installation, log};
    const std::string before = test::readFile(projectFile);
    EXPECT_TRUE(TemplateMergeWouldChange(environment, "Plant"));
    EXPECT_EQ(test::readFile(projectFile), before);
    EXPECT_FALSE(std::filesystem::exists(projectFile.string() + "-journal"));
    merge();
    EXPECT_FALSE(TemplateMergeWouldChange(environment, "Plant"));
}

TEST_F(TemplateMerge, KeepsTheProjectsWordingAndAddsNothingTwice) {
    merge();
    EXPECT_EQ(scalar(projectFile, "SELECT L1031 FROM TidxTexts WHERE Name = 'LongDate'"),
              db::Value{std::string("Eigenes Format")});
    const auto groups = rows("TidxGroups");
    const auto textRows = rows("TidxTexts");
    const auto fonts = rows("TidxFonts");
    const auto classes = rows("TidxFontClasses");
    merge();
    EXPECT_EQ(rows("TidxGroups"), groups);
    EXPECT_EQ(rows("TidxTexts"), textRows);
    EXPECT_EQ(rows("TidxFonts"), fonts);
    EXPECT_EQ(rows("TidxFontClasses"), classes);
}

TEST_F(TemplateMerge, CopiesOnlyTextsBelowTheSystemRootAndOnlyTheTwoLanguages) {
    merge();
    EXPECT_EQ(count(projectFile, "SELECT COUNT(*) FROM TidxTexts WHERE Name = 'RezepteBearbeiten'"),
              0);
    EXPECT_EQ(scalar(projectFile, "SELECT L1033 FROM TidxTexts WHERE Name = 'Help'"),
              db::Value{std::string("Help")});
    EXPECT_TRUE(db::isNull(scalar(projectFile, "SELECT L1036 FROM TidxTexts WHERE Name = 'Help'")));
}

TEST_F(TemplateMerge, NewFontClassRefersToTheFontAddedToTheProject) {
    merge();
    const auto font4 = count(projectFile, "SELECT ID FROM TidxFonts WHERE Name = 'Font4'");
    EXPECT_NE(font4, 4);
    EXPECT_EQ(count(projectFile, "SELECT L1031 FROM TidxFontClasses WHERE Name = 'Dialog'"), font4);
    EXPECT_EQ(count(projectFile, "SELECT L1033 FROM TidxFontClasses WHERE Name = 'Dialog'"), font4);
    EXPECT_EQ(scalar(projectFile, "SELECT FontName FROM TidxFonts WHERE Name = 'Font4'"),
              db::Value{std::string("Tahoma")});
    // Classes the project had keep their own references.
    EXPECT_EQ(count(projectFile, "SELECT L1031 FROM TidxFontClasses WHERE Name = 'Titel'"), 12);
}

class MergeWithoutRoot : public TemplateMerge, public ::testing::WithParamInterface<bool> {};

TEST_P(MergeWithoutRoot, AddsNoTextWhenEitherDatabaseLacksTheSystemRoot) {
    run(GetParam() ? projectFile : templateFile,
        {"UPDATE TidxGroups SET Type = -99 WHERE Type = -100"});
    const auto groups = rows("TidxGroups");
    const auto textRows = rows("TidxTexts");
    merge();
    EXPECT_EQ(rows("TidxGroups"), groups);
    EXPECT_EQ(rows("TidxTexts"), textRows);
    EXPECT_TRUE(log.mentions("no system root group"));
}

INSTANTIATE_TEST_SUITE_P(EitherSide, MergeWithoutRoot, ::testing::Values(true, false),
                         [](const auto& testInfo) {
                             return testInfo.param ? "Project" : "Template";
                         });

TEST_F(TemplateMerge, MissingOrUnsafeTemplateAddsNothing) {
    const auto textRows = rows("TidxTexts");
    const auto fonts = rows("TidxFonts");
    std::filesystem::remove(templateFile);
    merge();
    EXPECT_TRUE(log.mentions("does not exist"));
    setSetting("ProjectTemplate", "..");
    merge();
    EXPECT_TRUE(log.mentions("not a single folder name"));
    EXPECT_EQ(rows("TidxTexts"), textRows);
    EXPECT_EQ(rows("TidxFonts"), fonts);
}

} // namespace
} // namespace korvana::dbupgrade
