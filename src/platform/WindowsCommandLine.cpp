#include "platform/Process.h"

#include <cstddef>

// Windows hands a program one command-line text and leaves the splitting to
// the program's start-up code. The IDE and every other program the studio
// starts splits it with the rules of the C run-time library, so those rules
// decide what arrives as one argument here too.
//
// The program name is read more simply than the other arguments because it is
// a file name: it runs to the first blank or tab outside double quotes, the
// quotes themselves are dropped, and backslashes are plain characters (a
// folder path ends in one often enough).
//
// The other arguments:
//  - blanks and tabs outside double quotes separate arguments;
//  - a double quote starts or ends a quoted part and is dropped;
//  - 2n backslashes before a double quote give n backslashes, and the quote
//    starts or ends a quoted part; 2n+1 backslashes before a double quote
//    give n backslashes and a literal quote;
//  - backslashes anywhere else are literal;
//  - two double quotes inside a quoted part give one literal quote and the
//    part goes on (as the run-time libraries since 2008 read it; older ones
//    ended the quoted part there);
//  - a quoted part that is never closed runs to the end of the line.
//
// Blanks before the program name are skipped, so a line of blanks names no
// program at all rather than a program with an empty name.
namespace korvana {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> splitWindowsCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    const std::size_t end = commandLine.size();
    while (at < end && isBlank(commandLine[at])) {
        ++at;
    }
    if (at == end) {
        return arguments;
    }

    std::string program;
    bool quoted = false;
    for (; at < end && (quoted || !isBlank(commandLine[at])); ++at) {
        if (commandLine[at] == '"') {
            quoted = !quoted;
        } else {
            program += commandLine[at];
        }
    }
    arguments.push_back(std::move(program));

    for (;;) {
        while (at < end && isBlank(commandLine[at])) {
            ++at;
        }
        if (at == end) {
            break;
        }
        std::string argument;
        quoted = false;
        while (at < end) {
            std::size_t backslashes = 0;
            while (at < end && commandLine[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at < end && commandLine[at] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < end && commandLine[at + 1] == '"') {
                    argument += '"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
                continue;
            }
            argument.append(backslashes, '\\');
            if (at == end || (!quoted && isBlank(commandLine[at]))) {
                break;
            }
            argument += commandLine[at];
            ++at;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

} // namespace korvana
