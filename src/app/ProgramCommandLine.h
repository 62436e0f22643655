#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korvana::app {

// The command line as Windows hands it to the program: the arguments after the
// program name, joined with single blanks. The shell has already removed the
// user's quotes, so an argument holding a blank is quoted again, the way the
// user would have typed it on Windows: a switch ("-p=", "/r=", ...) keeps its
// three characters outside the quotes and quotes its value ("-p=\"My Plant\""),
// anything else is quoted whole ("\"/home/x/My Plant/My Plant.kvs\""). An
// argument that already holds a double quote is passed as it is.
std::string windowsCommandLine(std::span<const std::string_view> arguments);

// The same for main's argv, without the program name.
std::string windowsCommandLine(int argc, const char* const* argv);

} // namespace korvana::app
