#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvana::test {

// How a whole process ended.
struct ProgramResult {
    int exitCode = -1; // -1 when it was ended by a signal or the time ran out
    bool timedOut = false;
    std::string out;
    std::string err;
};

// What changes in the environment a program inherits: a value sets the
// variable, nothing removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// Runs a program to its end with the given arguments (no shell in between),
// standard input from /dev/null and its output kept in files of
// `outputFolder`. A program still running after `timeout` is killed together
// with everything it started, so that a hanging IDE never hangs the suite.
ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment,
                         const std::filesystem::path& outputFolder,
                         std::chrono::seconds timeout = std::chrono::seconds(120));

} // namespace korvana::test
