#include "dbupgrade/JetConversion.h"

#include "CheckTestBed.h"
#include "db/Database.h"
#include "dbupgrade/VersionLadder.h"
#include "text/ScriptedMessageService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvana::dbupgrade {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using ::testing::HasSubstr;

// A registered project whose project file was brought over from Windows.
class JetProject : public ::testing::Test, public test::CheckTestBed {
  protected:
    void SetUp() override {
        if (!fs::is_directory(samples)) {
            GTEST_SKIP() << "no Jet sample databases in " << samples;
        }
        jetBytes = readFile(samples / "compIndexTestV2003.mdb");
        writeFile(projectFile, jetBytes);
    }

    CheckResult check() {
        auto checking = environment(versionLadder());
        checking.jetConversion = &conversion;
        return CheckProjectDatabase(checking, "Plant");
    }

    std::vector<std::string> folder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(projectFile.parent_path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    const fs::path samples{KORVANA_JET_SAMPLES};
    std::string jetBytes;
    ScriptedMessageService messages;
    JetConversionEnvironment conversion{messages, texts, log, configuration};
};

TEST_F(JetProject, TheQuestionDefaultsToNoAndNoLeavesEverythingAsItWas) {
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::NotADatabase);
    EXPECT_THAT(result.reason, HasSubstr("Jet 4.0 database from Windows"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::overwriteQuestion());
    EXPECT_EQ(readFile(projectFile), jetBytes);
    EXPECT_EQ(folder(), std::vector<std::string>{"Plant.kvs"});
}

TEST_F(JetProject, YesKeepsTheJetFileAndTheCheckGoesOnWithEveryRow) {
    messages.queueAnswer(Answer::Yes);
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::Checked) << result.reason;
    EXPECT_EQ(result.stepsRun.size(), versionLadder().size());
    EXPECT_EQ(readFile(keptJetFile(projectFile)), jetBytes);
    EXPECT_EQ(setting("DBVersion"), currentDbVersion);
    db::Database database = db::Database::open(projectFile.string());
    EXPECT_EQ(database.query("SELECT * FROM [Table1]").rows.size(), 512u);
    // What could not be kept as it was is told, by name.
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_THAT(messages.shown()[1].text, HasSubstr("'Table1'.'CD_AGENTE'"));
    EXPECT_TRUE(log.mentions("conversion: index 'Table1'.'CD_AGENTE'"));
}

TEST_F(JetProject, AnotherKeptJetFileIsNeverReplaced) {
    writeFile(keptJetFile(projectFile), "the user's own");
    messages.queueAnswer(Answer::Yes);
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::NotADatabase);
    EXPECT_THAT(result.reason, HasSubstr("exists already"));
    EXPECT_EQ(readFile(projectFile), jetBytes);
    EXPECT_EQ(readFile(keptJetFile(projectFile)), "the user's own");
}

TEST_F(JetProject, AFileThatCannotBeReadIsToldAndLeftAlone) {
    jetBytes[0x14] = 0; // a Jet 3 file
    writeFile(projectFile, jetBytes);
    messages.queueAnswer(Answer::Yes);
    const auto result = check();
    EXPECT_EQ(result.outcome, CheckOutcome::NotADatabase);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_THAT(messages.shown()[1].text, HasSubstr("Jet 3"));
    EXPECT_EQ(readFile(projectFile), jetBytes);
    EXPECT_EQ(folder(), std::vector<std::string>{"Plant.kvs"});
}

} // namespace
} // namespace korvana::dbupgrade
