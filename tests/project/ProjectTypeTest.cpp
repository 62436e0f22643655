#include "project/ProjectType.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

ProjectTypeValue text(const char* s) {
    return std::string(s);
}

TEST(ProjectTypeConversion, GivesTheOtherForm) {
    const std::vector<std::pair<ProjectTypeValue, ProjectTypeValue>> cases{
        // Names to codes, compared exactly: case and blanks matter.
        {text("Single"), 1},
        {text("Server"), 2},
        {text("Client"), 4},
        {text("Terminal Server"), 8},
        {text("Terminal Client"), 16},
        {text("Group"), 32},
        {text("single"), 0},
        {text("Single "), 0},
        {text("TerminalServer"), 0},
        {text(""), 0},
        // Text that only starts like a number is a name.
        {text("2 Server"), 0},
        {text("0x20"), 0},
        {text("."), 0},
        {text("1e"), 0},
        // Codes to names: codes are single bits, sums and other values name nothing.
        {1, text("Single")},
        {8, text("Terminal Server")},
        {32, text("Group")},
        {0, text("")},
        {3, text("")},
        {64, text("")},
        {-1, text("")},
        {159, text("")},
        // Numeric text is a code.
        {text("32"), text("Group")},
        {text(" 2"), text("Server")},
        {text("4 "), text("Client")},
        {text("+16"), text("Terminal Client")},
        {text("1.0"), text("Single")},
        {text("3.2e1"), text("Group")},
        {text("1.5"), text("")},
        {text("-1"), text("")},
        {text("64"), text("")},
        {text("99999999999999999999"), text("")},
        {text("1e400"), text("")}};
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(ConvertProjectType(input), expected) << testing::PrintToString(input);
    }
}

TEST(ProjectTypeConversion, NamesAndCodesRoundTrip) {
    for (const auto type :
         {ProjectType::Single, ProjectType::Server, ProjectType::Client,
          ProjectType::TerminalServer, ProjectType::TerminalClient, ProjectType::Group}) {
        EXPECT_EQ(projectTypeCode(projectTypeName(type)), type);
    }
    EXPECT_EQ(projectTypeName(ProjectType::None), "");
}

TEST(ProjectTypeMasks, SelectTypesByCommonBits) {
    EXPECT_TRUE(ProjectTypeMask{8}.contains(ProjectType::TerminalServer));
    EXPECT_FALSE(ProjectTypeMask{7}.contains(ProjectType::TerminalServer));
    EXPECT_TRUE(ProjectTypeMask::all().contains(ProjectType::Group));
    EXPECT_FALSE(ProjectTypeMask::allButGroups().contains(ProjectType::Group));
    EXPECT_TRUE(ProjectTypeMask::allButGroups().contains(ProjectType::TerminalClient));
    EXPECT_FALSE(ProjectTypeMask::serversOnly().contains(ProjectType::Client));
}

} // namespace
} // namespace korvana
