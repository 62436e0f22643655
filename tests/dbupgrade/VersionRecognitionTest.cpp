#include "dbupgrade/VersionRecognition.h"

#include "CheckTestBed.h"
#include "db/Database.h"
#include "dbupgrade/VersionLadder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvana::dbupgrade {
namespace {

using ::testing::Contains;

class Recognition : public ::testing::Test, public test::CheckTestBed {
  protected:
    RecognisedVersion recognised() {
        const db::Database database = db::Database::open(projectFile.string());
        return recogniseVersion(tablesOf(database));
    }
    // Runs the ladder's steps on the project up to and including `last`.
    void climbTo(std::string_view last) {
        const UpgradeEnvironment upgrade{registry, texts, log, projectFile};
        for (const Rung& rung : rungsAfter(climbed)) {
            if (rung.version > last) {
                break;
            }
            rung.step(upgrade, "Plant");
            climbed = rung.version;
        }
    }
    std::string climbed;
};

// The legacy project climbed rung by rung: at each height the schema tells the
// last rung that leaves a trace.
TEST_F(Recognition, TheSchemaTellsHowFarAProjectHasClimbed) {
    db::json::createDatabaseFromJson(projectFile.string(),
                                     test::fixtureText("legacy-project.json"));
    EXPECT_EQ(recognised().version, "");
    const std::vector<std::pair<std::string_view, std::string_view>> heights{
        {"4.01.003", "4.01.003"},
        {"4.01.010", "4.01.010"},
        // 4.01.013 changes rows only; the schema shows the rung before it.
        {"4.01.013", "4.01.012"},
        {"4.01.017", "4.01.017"},
        {"4.04.001", "4.04.001"},
        {"4.04.004", "4.04.001"},
        {"4.05.000", "4.05.000"},
    };
    for (const auto& [height, expected] : heights) {
        SCOPED_TRACE(height);
        climbTo(height);
        EXPECT_EQ(recognised().version, expected);
    }
}

TEST_F(Recognition, TheTemplateIsCurrentAndAMissingChangeStopsTheClimb) {
    makeProject("4.05.000");
    EXPECT_EQ(recognised().version, currentDbVersion);
    {
        db::Database database = db::Database::open(projectFile.string());
        database.deleteField("TrcpRecipe", "Options");
    }
    const auto result = recognised();
    EXPECT_EQ(result.version, "4.04.000");
    EXPECT_THAT(result.reasons, Contains("4.04.001 not reached: no field TrcpRecipe.Options"));
}

} // namespace
} // namespace korvana::dbupgrade
