#pragma once

#include <string>
#include <string_view>

namespace korvana {

// What the trimmed command line asks for.
enum class CommandLineForm {
    Empty,        // show the project-open dialog
    OpenByName,   // "-p=" name: open a registered project
    Register,     // "-r=" file: register the project and end
    Path,         // the path of a project file to open
    InvalidSwitch // any other text starting with "-" or "/"
};

struct CommandLine {
    CommandLineForm form = CommandLineForm::Empty;
    // The name, file or path without enclosing quotes; empty otherwise.
    std::string argument;

    bool operator==(const CommandLine&) const = default;
};

// Reads an already trimmed command line. The switches are matched on their
// first three characters exactly ("-p=", "/P=", "-r=", ...), so a blank
// before the "=" makes an invalid switch.
CommandLine ParseCommandLine(std::string_view trimmed);

} // namespace korvana
