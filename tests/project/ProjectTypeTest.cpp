#include "project/ProjectType.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

struct ConversionCase {
    ProjectTypeValue input;
    ProjectTypeValue expected;
};

void PrintTo(const ProjectTypeValue& value, std::ostream* out) {
    if (const auto* code = std::get_if<std::int32_t>(&value)) {
        *out << *code;
    } else {
        *out << '"' << std::get<std::string>(value) << '"';
    }
}

void PrintTo(const ConversionCase& c, std::ostream* out) {
    PrintTo(c.input, out);
    *out << " -> ";
    PrintTo(c.expected, out);
}

class ProjectTypeConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(ProjectTypeConversion, GivesTheOtherForm) {
    EXPECT_EQ(ConvertProjectType(GetParam().input), GetParam().expected);
}

ProjectTypeValue text(const char* s) {
    return std::string(s);
}
ProjectTypeValue code(std::int32_t c) {
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    NamesToCodes, ProjectTypeConversion,
    testing::Values(
        ConversionCase{text("Single"), code(1)}, ConversionCase{text("Server"), code(2)},
        ConversionCase{text("Client"), code(4)}, ConversionCase{text("Terminal Server"), code(8)},
        ConversionCase{text("Terminal Client"), code(16)}, ConversionCase{text("Group"), code(32)},
        // Names compare exactly: case and blanks matter.
        ConversionCase{text("single"), code(0)}, ConversionCase{text("Single "), code(0)},
        ConversionCase{text("TerminalServer"), code(0)}, ConversionCase{text("None"), code(0)},
        ConversionCase{text(""), code(0)},
        // Starts like a number but is not one.
        ConversionCase{text("2 Server"), code(0)}, ConversionCase{text("0x20"), code(0)},
        ConversionCase{text("."), code(0)}, ConversionCase{text("1e"), code(0)}));

INSTANTIATE_TEST_SUITE_P(
    CodesToNames, ProjectTypeConversion,
    testing::Values(ConversionCase{code(1), text("Single")},
                    ConversionCase{code(8), text("Terminal Server")},
                    ConversionCase{code(32), text("Group")},
                    // Codes are single bits: sums and other values name nothing.
                    ConversionCase{code(0), text("")}, ConversionCase{code(3), text("")},
                    ConversionCase{code(64), text("")}, ConversionCase{code(-1), text("")},
                    ConversionCase{code(159), text("")}));

INSTANTIATE_TEST_SUITE_P(NumericTextToNames, ProjectTypeConversion,
                         testing::Values(ConversionCase{text("32"), text("Group")},
                                         ConversionCase{text(" 2"), text("Server")},
                                         ConversionCase{text("4 "), text("Client")},
                                         ConversionCase{text("+16"), text("Terminal Client")},
                                         ConversionCase{text("1.0"), text("Single")},
                                         ConversionCase{text("3.2e1"), text("Group")},
                                         ConversionCase{text("1.5"), text("")},
                                         ConversionCase{text("-1"), text("")},
                                         ConversionCase{text("64"), text("")},
                                         ConversionCase{text("99999999999999999999"), text("")},
                                         ConversionCase{text("1e400"), text("")}));

TEST(ProjectTypeNames, RoundTripForEveryType) {
    for (const auto type :
         {ProjectType::Single, ProjectType::Server, ProjectType::Client,
          ProjectType::TerminalServer, ProjectType::TerminalClient, ProjectType::Group}) {
        EXPECT_EQ(projectTypeCode(projectTypeName(type)), type);
    }
    EXPECT_EQ(projectTypeName(ProjectType::None), "");
    EXPECT_EQ(projectTypeCode(""), ProjectType::None);
}

TEST(ProjectTypeMasks, SelectTypesByCommonBits) {
    EXPECT_TRUE(ProjectTypeMask{8}.contains(ProjectType::TerminalServer));
    EXPECT_FALSE(ProjectTypeMask{7}.contains(ProjectType::TerminalServer));
    EXPECT_TRUE(ProjectTypeMask::all().contains(ProjectType::Group));
    EXPECT_FALSE(ProjectTypeMask::allButGroups().contains(ProjectType::Group));
    EXPECT_TRUE(ProjectTypeMask::allButGroups().contains(ProjectType::TerminalClient));
    EXPECT_FALSE(ProjectTypeMask::all().contains(ProjectType::None));
    EXPECT_FALSE(ProjectTypeMask::serversOnly().contains(ProjectType::Client));
}

} // namespace
} // namespace korvana
