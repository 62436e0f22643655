#include "ide/ToolBoxRecords.h"

#include "ide/ToolBoxBytes.h"

#include <gtest/gtest.h>

namespace korvana::ide {
namespace {

using test::ToolBoxBytes;

TEST(ToolBoxRecords, ReadsRecordsAndWritesThemBackWithZeroRecordBytes) {
    const std::vector<std::uint8_t> stored = ToolBoxBytes()
                                                 .record(1, "General", 7)
                                                 .record(-7, "")
                                                 .end()
                                                 .record(-7, "MSComctlLib.ListViewCtrl", 0xff)
                                                 .record(1, "Ctl\xe4")
                                                 .end()
                                                 .raw({1, 2, 3}); // ignored
    const auto records = parseToolBox(stored);
    ASSERT_TRUE(records);
    const ToolBoxRecords expected{{{1, "General"}, {-7, ""}},
                                  {{-7, "MSComctlLib.ListViewCtrl"}, {1, "Ctl\xe4"}}};
    EXPECT_EQ(*records, expected);
    EXPECT_EQ(serializeToolBox(*records), ToolBoxBytes()
                                              .record(1, "General")
                                              .record(-7, "")
                                              .end()
                                              .record(-7, "MSComctlLib.ListViewCtrl")
                                              .record(1, "Ctl\xe4")
                                              .end()
                                              .bytes());
}

std::vector<std::vector<std::uint8_t>> damagedSettings() {
    std::vector<std::vector<std::uint8_t>> cases{
        {},
        {0xff, 0xff, 0xff},
        ToolBoxBytes().record(1, "General"),
        ToolBoxBytes().record(1, "General").end(),
        ToolBoxBytes().integer(1).integer(100).raw({'A', 'B', 0}),
        ToolBoxBytes().integer(1).integer(3).raw({'A', 'B', 'C'}), // no record byte
        ToolBoxBytes().integer(1).integer(-5).end().end(),
        ToolBoxBytes().integer(1).integer(0x7fffffff).end().end(),
        ToolBoxBytes().end().integer(1).integer(-1).end(),
    };
    // Every cut of a good setting short of its end.
    const std::vector<std::uint8_t> whole =
        ToolBoxBytes().record(1, "General").end().record(1, "A.B").end();
    for (std::size_t size = 1; size < whole.size(); ++size) {
        cases.emplace_back(whole.begin(), whole.begin() + static_cast<long>(size));
    }
    return cases;
}

class DamagedToolBox : public testing::TestWithParam<std::vector<std::uint8_t>> {};

TEST_P(DamagedToolBox, GivesNothing) {
    // The parameter's buffer has exactly the setting's size: the sanitizer
    // catches any read past its end.
    EXPECT_FALSE(parseToolBox(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Shapes, DamagedToolBox, testing::ValuesIn(damagedSettings()));

} // namespace
} // namespace korvana::ide
