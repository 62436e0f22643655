#include "dbupgrade/VersionLadder.h"

#include "dbupgrade/CheckProgressText.h"
#include "dbupgrade/CheckProjectDatabase.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::dbupgrade {
namespace {

struct LadderCase {
    const char* label;
    std::string stored;
    std::size_t count;
    std::string first;
};

class LadderChoice : public ::testing::TestWithParam<LadderCase> {};

TEST_P(LadderChoice, RunsEveryLaterRungInOrder) {
    const auto& param = GetParam();
    const auto rungs = rungsAfter(param.stored);
    ASSERT_EQ(rungs.size(), param.count);
    if (!rungs.empty()) {
        EXPECT_EQ(rungs.front().version, param.first);
        EXPECT_EQ(rungs.back().version, currentDbVersion);
    }
    for (std::size_t i = 1; i < rungs.size(); ++i) {
        EXPECT_LT(rungs[i - 1].version, rungs[i].version);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredVersions, LadderChoice,
    ::testing::Values(LadderCase{"Empty", "", 25, "4.01.001"},
                      LadderCase{"Before4_01_008", "4.01.007", 18, "4.01.010"},
                      LadderCase{"NoStepFor4_01_008", "4.01.008", 18, "4.01.010"},
                      LadderCase{"NoStepFor4_01_009", "4.01.009", 18, "4.01.010"},
                      LadderCase{"NoStepFor4_02", "4.02.005", 8, "4.04.000"},
                      LadderCase{"Current", "4.05.000", 0, ""},
                      LadderCase{"Later", "4.06.000", 0, ""},
                      LadderCase{"LaterByBuild", "4.05.001", 0, ""},
                      // Ordinal comparison: anything above '4' is later.
                      LadderCase{"NotAVersion", "x", 0, ""}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

struct ShapeCase {
    const char* label;
    std::array<std::string_view, 3> versions;
    bool wellFormed;
};

class LadderShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(LadderShape, IsClimbableOnlyWithStoredFormVersionsInAscendingOrder) {
    std::array<Rung, 3> ladder;
    for (std::size_t i = 0; i < ladder.size(); ++i) {
        ladder[i].version = GetParam().versions[i];
    }
    EXPECT_EQ(isWellFormedLadder(ladder), GetParam().wellFormed);
}

INSTANTIATE_TEST_SUITE_P(
    Ladders, LadderShape,
    ::testing::Values(ShapeCase{"Ascending", {"4.01.001", "4.01.010", "4.05.000"}, true},
                      ShapeCase{"Descending", {"4.01.010", "4.01.001", "4.05.000"}, false},
                      ShapeCase{"Repeated", {"4.01.001", "4.01.010", "4.01.010"}, false},
                      // Ordinal order would put "4.1.010" after "4.01.010".
                      ShapeCase{"ShortPart", {"4.01.001", "4.01.010", "4.1.010"}, false},
                      ShapeCase{"Letter", {"4.01.001", "4.01.00a", "4.05.000"}, false},
                      ShapeCase{"OtherSeparator", {"4.01.001", "4.01-010", "4.05.000"}, false},
                      ShapeCase{"Empty", {"", "4.01.010", "4.05.000"}, false}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

#ifndef NDEBUG
TEST(LadderDeathTest, AnUnorderedLadderIsCaughtBeforeAnyRungIsChosen) {
    constexpr std::array<Rung, 2> unordered{{{"4.01.010"}, {"4.01.001"}}};
    EXPECT_DEATH(static_cast<void>(rungsAfter("", unordered)), "isWellFormedLadder");
}
#endif

struct TemplateNameCase {
    std::string stored;
    std::string expected;
};

class TemplateName : public ::testing::TestWithParam<TemplateNameCase> {};

TEST_P(TemplateName, KeepsTheLastComponentAndRenamesOnlyTheExactOpcName) {
    EXPECT_EQ(normaliseTemplateName(GetParam().stored), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    StoredNames, TemplateName,
    ::testing::Values(TemplateNameCase{"C:\\Korvana\\Templates\\Projects\\Single (OPC)", "Single2"},
                      TemplateNameCase{"Single (OPC)", "Single2"},
                      TemplateNameCase{"single (opc)", "single (opc)"},
                      TemplateNameCase{"Single (OPC) ", "Single (OPC) "},
                      TemplateNameCase{"Templates\\Server", "Server"},
                      TemplateNameCase{"Client", "Client"}, TemplateNameCase{"", ""}));

TEST(CheckProgressText, EveryRungOfTheLadderSaysWhatItChangesInGermanAndEnglish) {
    const TextService german(germanLanguage);
    const TextService english(englishLanguage);
    for (const Rung& rung : versionLadder()) {
        SCOPED_TRACE(std::string(rung.version));
        const CheckProgress progress{CheckStage::Step, 1, 27, rung.version, rung.words};
        ASSERT_TRUE(german.hasText(rung.words));
        const std::string words = describeStage(english, progress);
        EXPECT_TRUE(words.starts_with(std::string(rung.version) + " – ")) << words;
        EXPECT_NE(words, describeStage(german, progress));
    }
    EXPECT_EQ(describeStage(english, {CheckStage::Step, 1, 3, "4.01.001"}), "4.01.001");
    EXPECT_EQ(describePosition(english, {CheckStage::Merge, 26, 27}), "Step 26 of 27");
    EXPECT_EQ(describeStage(german, {CheckStage::Compaction, 27, 27}), "Projektdatei komprimieren");
}

} // namespace
} // namespace korvana::dbupgrade
