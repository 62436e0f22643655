#include "startup/CommandLine.h"

#include "startup/MKorvanaStudio.h"

namespace korvana {

namespace {

constexpr std::size_t switchLength = 3; // "-p=", "/R=", ...

bool isSwitchStart(char c) {
    return c == '-' || c == '/';
}

// Here an absolute path starts with "/" as a switch does. A switch word ("/p",
// "/x", up to the "=" or a blank) never holds a further separator, a path
// ("/home/dev/Plant1.kvs") always does.
bool isAbsolutePath(std::string_view text) {
    if (!text.starts_with('/')) {
        return false;
    }
    const auto word = text.substr(1, text.find_first_of("= \t") - 1);
    return word.find_first_of("/\\") != std::string_view::npos;
}

} // namespace

CommandLine ParseCommandLine(std::string_view trimmed) {
    if (trimmed.empty()) {
        return {CommandLineForm::Empty, {}};
    }
    const bool isSwitch = trimmed.size() >= switchLength && trimmed[2] == '=';
    if (!isSwitchStart(trimmed.front()) || (!isSwitch && isAbsolutePath(trimmed))) {
        return {CommandLineForm::Path, StripQuotes(trimmed)};
    }
    if (isSwitch) {
        const std::string argument = StripQuotes(trimmed.substr(switchLength));
        switch (trimmed[1]) {
        case 'p':
        case 'P':
            return {CommandLineForm::OpenByName, argument};
        case 'r':
        case 'R':
            return {CommandLineForm::Register, argument};
        default:
            break;
        }
    }
    return {CommandLineForm::InvalidSwitch, {}};
}

} // namespace korvana
