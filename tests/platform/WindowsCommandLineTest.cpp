#include "platform/Process.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvana {
namespace {

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

class WindowsCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(WindowsCommandLineTest, SplitsAsTheWindowsRunTimeDoes) {
    EXPECT_EQ(splitWindowsCommandLine(GetParam().line), GetParam().arguments)
        << "line: " << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    PlainAndQuoted, WindowsCommandLineTest,
    ::testing::Values(
        // What the launcher builds: both paths quoted, blanks inside them.
        SplitCase{R"("C:\Program Files\VB98\VB6.exe" "D:\My Projects\Demo\Demo.vbp")",
                  {R"(C:\Program Files\VB98\VB6.exe)", R"(D:\My Projects\Demo\Demo.vbp)"}},
        SplitCase{"prog a  b\t\tc", {"prog", "a", "b", "c"}}, SplitCase{"  prog a", {"prog", "a"}},
        SplitCase{"", {}}, SplitCase{" \t ", {}}, SplitCase{"prog   ", {"prog"}},
        // Quotes group and vanish, wherever they stand in an argument.
        SplitCase{R"(prog a"b c"d)", {"prog", "ab cd"}},
        SplitCase{R"(pro"g ram" x)", {"prog ram", "x"}},
        // An empty quoted argument is an argument of its own.
        SplitCase{R"(prog "" x)", {"prog", "", "x"}}, SplitCase{R"(prog "")", {"prog", ""}},
        // Two quotes inside a quoted part: one literal quote, the part goes on.
        SplitCase{R"(prog "a""b c")", {"prog", R"(a"b c)"}},
        SplitCase{R"(prog """")", {"prog", R"(")"}},
        // A quote that is never closed runs to the end of the line.
        SplitCase{R"(prog "open to the end)", {"prog", "open to the end"}},
        SplitCase{R"("C:\Program Files\VB6.exe)", {R"(C:\Program Files\VB6.exe)"}}));

INSTANTIATE_TEST_SUITE_P(
    Backslashes, WindowsCommandLineTest,
    ::testing::Values(
        // Backslashes not before a quote are plain characters.
        SplitCase{R"(prog a\\b c\d)", {"prog", R"(a\\b)", R"(c\d)"}},
        SplitCase{R"(prog a\\)", {"prog", R"(a\\)"}},
        // An odd number before a quote: half of them and a literal quote.
        SplitCase{R"(prog a\"b)", {"prog", R"(a"b)"}},
        SplitCase{R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
        // An even number before a quote: half of them, and the quote groups.
        SplitCase{R"(prog a\\"b c")", {"prog", R"(a\b c)"}},
        SplitCase{R"(prog "D:\Projects\\" next)", {"prog", R"(D:\Projects\)", "next"}},
        // The well-known trap: a quoted folder ending in one backslash keeps
        // its closing quote as a character and swallows the rest.
        SplitCase{R"(prog "D:\Projects\" next)", {"prog", R"(D:\Projects" next)"}},
        // The program name is a file name: no backslash rules there.
        SplitCase{R"("C:\VB\" "x y")", {R"(C:\VB\)", "x y"}},
        SplitCase{R"(C:\VB\\VB6.exe a)", {R"(C:\VB\\VB6.exe)", "a"}}));

} // namespace
} // namespace korvana
