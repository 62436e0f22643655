#include "app/ProgramCommandLine.h"

#include <vector>

namespace korvana::app {

namespace {

// "-p=", "/P=", "-r=", ...: the switches whose value the start-up unquotes.
bool startsWithSwitch(std::string_view argument) {
    if (argument.size() < 3 || argument[2] != '=') {
        return false;
    }
    const char lead = argument[0];
    const char letter = argument[1];
    return (lead == '-' || lead == '/') &&
           (letter == 'p' || letter == 'P' || letter == 'r' || letter == 'R');
}

std::string quotedIfNeeded(std::string_view argument) {
    if (argument.find(' ') == std::string_view::npos ||
        argument.find('"') != std::string_view::npos) {
        return std::string(argument);
    }
    if (startsWithSwitch(argument)) {
        return std::string(argument.substr(0, 3)) + '"' + std::string(argument.substr(3)) + '"';
    }
    return '"' + std::string(argument) + '"';
}

} // namespace

std::string windowsCommandLine(std::span<const std::string_view> arguments) {
    std::string line;
    for (const auto argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        line += quotedIfNeeded(argument);
    }
    return line;
}

std::string windowsCommandLine(int argc, const char* const* argv) {
    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return windowsCommandLine(arguments);
}

} // namespace korvana::app
