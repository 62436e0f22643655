#include "startup/CommandLine.h"

#include "startup/MKorvanaStudio.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

struct QuoteCase {
    const char* text;
    const char* stripped;
};

class StripQuotesTest : public testing::TestWithParam<QuoteCase> {};

TEST_P(StripQuotesTest, RemovesAnOpeningQuoteAndThenAClosingOne) {
    EXPECT_EQ(StripQuotes(GetParam().text), GetParam().stripped);
}

INSTANTIATE_TEST_SUITE_P(
    Quotes, StripQuotesTest,
    testing::Values(QuoteCase{"\"Plant 1\"", "Plant 1"}, QuoteCase{"\"Plant1", "Plant1"},
                    // a closing quote alone is part of the name
                    QuoteCase{"Plant1\"", "Plant1\""}, QuoteCase{"Plant1", "Plant1"},
                    QuoteCase{"\"", ""}, QuoteCase{"\"\"", ""}, QuoteCase{"", ""},
                    QuoteCase{"\"\"a\"\"", "\"a\""}, QuoteCase{"a\"b", "a\"b"}));

struct ParseCase {
    const char* line;
    CommandLineForm form;
    const char* argument;
};

class ParseCommandLineTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTest, RecognisesTheFormAndItsArgument) {
    const auto parsed = ParseCommandLine(GetParam().line);
    EXPECT_EQ(parsed.form, GetParam().form) << GetParam().line;
    EXPECT_EQ(parsed.argument, GetParam().argument) << GetParam().line;
}

using F = CommandLineForm;

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseCommandLineTest,
    testing::Values(
        ParseCase{"", F::Empty, ""},
        // the four spellings of each switch
        ParseCase{"-p=Plant1", F::OpenByName, "Plant1"},
        ParseCase{"-P=Plant1", F::OpenByName, "Plant1"},
        ParseCase{"/p=Plant1", F::OpenByName, "Plant1"},
        ParseCase{"/P=Plant1", F::OpenByName, "Plant1"},
        ParseCase{"-p=\"Plant 1\"", F::OpenByName, "Plant 1"}, ParseCase{"-p=", F::OpenByName, ""},
        ParseCase{"-p= Plant1", F::OpenByName, " Plant1"},
        ParseCase{"-r=C:\\P\\Plant1.kvs", F::Register, "C:\\P\\Plant1.kvs"},
        ParseCase{"-R=x", F::Register, "x"}, ParseCase{"/r=x", F::Register, "x"},
        ParseCase{"/R=\"C:\\My P\\x.kvs\"", F::Register, "C:\\My P\\x.kvs"},
        // no blank may stand before the "=", no other letter is a switch
        ParseCase{"-p Plant1", F::InvalidSwitch, ""}, ParseCase{"-p =Plant1", F::InvalidSwitch, ""},
        ParseCase{"/x=Plant1", F::InvalidSwitch, ""}, ParseCase{"-pr=Plant1", F::InvalidSwitch, ""},
        ParseCase{"-", F::InvalidSwitch, ""}, ParseCase{"/p", F::InvalidSwitch, ""},
        ParseCase{"--p=Plant1", F::InvalidSwitch, ""},
        // everything else is a path, quotes removed as a whole
        ParseCase{"C:\\Projects\\Plant1\\Plant1.kvs", F::Path, "C:\\Projects\\Plant1\\Plant1.kvs"},
        ParseCase{"\"C:\\My Projects\\Plant1.kvs\"", F::Path, "C:\\My Projects\\Plant1.kvs"},
        ParseCase{"Plant1.kvs\"", F::Path, "Plant1.kvs\""},
        ParseCase{"p=Plant1", F::Path, "p=Plant1"},
        // an absolute path here also starts with "/"
        ParseCase{"/tmp/Plant1/Plant1.kvs", F::Path, "/tmp/Plant1/Plant1.kvs"},
        ParseCase{"/home/dev/My Projects/P.KVS", F::Path, "/home/dev/My Projects/P.KVS"},
        ParseCase{"//server/share/P.kvs", F::Path, "//server/share/P.kvs"},
        ParseCase{"/x=/tmp/P.kvs", F::InvalidSwitch, ""},
        ParseCase{"/p /tmp/P.kvs", F::InvalidSwitch, ""}, ParseCase{"/", F::InvalidSwitch, ""}));

} // namespace
} // namespace korvana
