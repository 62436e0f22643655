#include "support/ScratchDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace korvana {
namespace {

// The build tool that compiles strings.json must stop the build on a table
// with a mistake, rather than compile a table that loses or misplaces texts.
int generate(const test::ScratchDir& dir, std::string_view json) {
    test::writeFile(dir / "strings.json", json);
    const std::string command = std::string("'") + KORVANA_STRING_TABLE_TOOL + "' '" +
                                (dir / "strings.json").string() + "' '" +
                                (dir / "out.cpp").string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(StringTableGenerator, RefusesATableWithAMistake) {
    const test::ScratchDir dir;
    ASSERT_EQ(generate(dir, R"({"texts": [{"id": 1, "de": "a", "en": "b"}]})"), 0);
    const std::string_view broken[] = {
        R"({"texts": [{"id": 1, "de": "a"}, {"id": 1, "de": "b"}]})",
        R"({"texts": [{"id": 1, "en": "English only"}]})",
        R"({"texts": [{"id": 1, "de": "a", "En": "typo"}]})",
        R"({"texts": [{"id": 10001, "de": "in the English block"}]})",
        R"({"texts": [{"id": 1, "de": ""}]})",
        R"({"texts": [{"id": "1", "de": "a"}]})",
        R"({"texts": [{"id": 1, "de": "a"})",
    };
    for (const auto json : broken) {
        EXPECT_EQ(generate(dir, json), 1) << json;
    }
}

TEST(StringTableGenerator, KeepsEveryByteOfTheTexts) {
    const test::ScratchDir dir;
    ASSERT_EQ(generate(dir, R"({"texts": [{"id": 7, "de": "\u00dcber\r\n\"a\\\\b\"?"}]})"), 0);
    const auto source = test::readFile(dir / "out.cpp");
    EXPECT_NE(source.find(R"({7, "\303\234ber\015\012\042a\134\134b\042\077"})"), std::string::npos)
        << source;
}

} // namespace
} // namespace korvana
