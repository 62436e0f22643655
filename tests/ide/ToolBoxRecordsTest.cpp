#include "ide/ToolBoxRecords.h"

#include "ide/IdeKeys.h"
#include "ide/ToolBoxBytes.h"

#include <gtest/gtest.h>
#include <string>

namespace korvana::ide {
namespace {

using test::ToolBoxBytes;

TEST(ToolBoxRecords, ReadsTabsAndControlsInStoredOrder) {
    const std::vector<std::uint8_t> setting = ToolBoxBytes()
                                                  .record(1, "General")
                                                  .record(7, "", 5)
                                                  .end()
                                                  .record(7, "MSComctlLib.ListViewCtrl", 0xff)
                                                  .record(1, "Ctl\xe4")
                                                  .end();
    const auto records = parseToolBox(setting);
    ASSERT_TRUE(records);
    const ToolBoxRecords expected{{{1, "General"}, {7, ""}},
                                  {{7, "MSComctlLib.ListViewCtrl"}, {1, "Ctl\xe4"}}};
    EXPECT_EQ(*records, expected);
}

TEST(ToolBoxRecords, WritesRecordBytesAsZeroAndReadsBackTheSame) {
    const std::vector<std::uint8_t> odd =
        ToolBoxBytes().record(3, "Tab", 9).end().record(3, "A.B", 1).end();
    const auto records = parseToolBox(odd);
    ASSERT_TRUE(records);
    const auto written = serializeToolBox(*records);
    EXPECT_EQ(written, ToolBoxBytes().record(3, "Tab").end().record(3, "A.B").end().bytes());
    EXPECT_EQ(parseToolBox(written), records);
}

TEST(ToolBoxRecords, EmptyListsAreTwoEndMarkers) {
    EXPECT_EQ(serializeToolBox({}), ToolBoxBytes().end().end().bytes());
    EXPECT_EQ(parseToolBox(ToolBoxBytes().end().end().bytes()), ToolBoxRecords{});
}

TEST(ToolBoxRecords, IgnoresBytesAfterTheControls) {
    const auto records =
        parseToolBox(ToolBoxBytes().end().record(1, "X").end().raw({1, 2, 3}).bytes());
    ASSERT_TRUE(records);
    EXPECT_EQ(records->controls.size(), 1u);
}

struct DamagedCase {
    const char* what;
    std::vector<std::uint8_t> bytes;
};

class DamagedToolBox : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedToolBox, GivesNothing) {
    // Copied into a buffer of exactly its size so that the sanitizer catches
    // any read past the end.
    const std::vector<std::uint8_t> exact(GetParam().bytes);
    EXPECT_FALSE(parseToolBox(exact)) << GetParam().what;
}

std::vector<DamagedCase> damagedCases() {
    const std::vector<std::uint8_t> whole =
        ToolBoxBytes().record(1, "General").end().record(1, "A.B").end();
    std::vector<DamagedCase> cases{
        {"empty", {}},
        {"a single byte", {0xff}},
        {"three bytes of the end marker", {0xff, 0xff, 0xff}},
        {"no end of tabs", ToolBoxBytes().record(1, "General")},
        {"no end of controls", ToolBoxBytes().record(1, "General").end()},
        {"controls unended", ToolBoxBytes().end().record(1, "A.B")},
        {"length past the end", ToolBoxBytes().integer(1).integer(100).raw({'A', 'B', 0})},
        {"length reaches the record byte",
         ToolBoxBytes().integer(1).integer(3).raw({'A', 'B', 'C'})},
        {"negative length", ToolBoxBytes().integer(1).integer(-5).end().end()},
        {"largest length", ToolBoxBytes().integer(1).integer(0x7fffffff).end().end()},
        {"length missing", ToolBoxBytes().integer(1)},
        {"length cut short", ToolBoxBytes().integer(1).raw({3, 0})},
        {"negative control length", ToolBoxBytes().end().integer(1).integer(-1).end()},
    };
    // Every cut of a good setting short of its end.
    for (std::size_t size = 1; size < whole.size(); ++size) {
        cases.push_back({"truncated", {whole.begin(), whole.begin() + static_cast<long>(size)}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Shapes, DamagedToolBox, ::testing::ValuesIn(damagedCases()));

TEST(IdeKeys, NameTheUserKeyOfEachVersion) {
    EXPECT_EQ(visualBasicUserKey(5), "Software\\Microsoft\\Visual Basic\\5.0");
    EXPECT_EQ(visualBasicUserKey(6), "Software\\Microsoft\\Visual Basic\\6.0");
    for (int other : {0, 4, 7, -6}) {
        EXPECT_EQ(visualBasicUserKey(other), "") << other;
    }
}

} // namespace
} // namespace korvana::ide
