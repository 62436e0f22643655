#include "startup/CommandLine.h"

#include "startup/MKorvanaStudio.h"

namespace korvana {

namespace {

constexpr std::size_t switchLength = 3; // "-p=", "/R=", ...

bool isSwitchStart(char c) {
    return c == '-' || c == '/';
}

} // namespace

CommandLine ParseCommandLine(std::string_view trimmed) {
    if (trimmed.empty()) {
        return {CommandLineForm::Empty, {}};
    }
    if (!isSwitchStart(trimmed.front())) {
        return {CommandLineForm::Path, StripQuotes(trimmed)};
    }
    if (trimmed.size() >= switchLength && trimmed[2] == '=') {
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
