#include "db/DefaultExpression.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

namespace korvana::db {
namespace {

struct DefaultCase {
    DaoType type;
    const char* expression;
    const char* literal; // nullptr: no default; "!": refused
};

class DefaultLiteralTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultLiteralTest, GivesTheLiteralTheEngineWrites) {
    FieldDef field("F", GetParam().type);
    field.defaultValue = GetParam().expression;
    const std::string expected = GetParam().literal ? GetParam().literal : "";
    if (expected == "!") {
        EXPECT_THROW(defaultLiteral(field, "T"), Error);
        return;
    }
    const auto literal = defaultLiteral(field, "T");
    EXPECT_EQ(literal.has_value(), GetParam().literal != nullptr);
    if (literal) {
        EXPECT_EQ(*literal, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, DefaultLiteralTest,
    ::testing::Values(
        DefaultCase{DaoType::Text, "\"\"", "''"}, DefaultCase{DaoType::Text, "0", "'0'"},
        DefaultCase{DaoType::Text, "\"<ProjectDir>\"", "'<ProjectDir>'"},
        DefaultCase{DaoType::Text, "\"say \"\"hi\"\"\"", "'say \"hi\"'"},
        DefaultCase{DaoType::Text, "'; DROP TABLE x; --", "'''; DROP TABLE x; --'"},
        DefaultCase{DaoType::Memo, ".", "'.'"}, DefaultCase{DaoType::Text, "", nullptr},
        DefaultCase{DaoType::Text, "  ", nullptr}, DefaultCase{DaoType::Boolean, "True", "-1"},
        DefaultCase{DaoType::Boolean, "false", "0"}, DefaultCase{DaoType::Boolean, "1", "-1"},
        DefaultCase{DaoType::Boolean, "maybe", "!"}, DefaultCase{DaoType::Long, "1000", "1000"},
        DefaultCase{DaoType::Long, "-2", "-2"}, DefaultCase{DaoType::Long, "1.5", "!"},
        DefaultCase{DaoType::Long, "0; DROP TABLE x", "!"},
        DefaultCase{DaoType::Single, "0", "0.0"}, DefaultCase{DaoType::Double, "2.5", "2.5"},
        DefaultCase{DaoType::DateTime, "\"2001-02-03 04:05:06\"", "'2001-02-03 04:05:06'"},
        DefaultCase{DaoType::DateTime, "Now()", "!"}, DefaultCase{DaoType::LongBinary, "0", "!"}));

} // namespace
} // namespace korvana::db
