#pragma once

#include "cli/CliContext.h"

#include <CLI/CLI.hpp>

namespace korvana::cli {

// Exit codes of kvs.
inline constexpr int exitOk = 0;
inline constexpr int exitNotFound = 1; // the asked-for thing does not exist / answer is "no"
inline constexpr int exitUsage = 2;    // bad command line
inline constexpr int exitFailure = 3;  // the operation failed (message on stderr)
inline constexpr int exitPartly = 4;   // done in part; what was left out is named on stderr
// Stopped by Ctrl+C with nothing changed; the shells' code for an interrupt.
inline constexpr int exitCancelled = 130;

// Each command group adds its sub-commands to the application. A sub-command's
// callback does the work and sets context.exitCode; korvana::Error escaping a
// callback is reported by main as a failure.
void addRegCommands(CLI::App& app, CliContext& context);
void addTextCommands(CLI::App& app, CliContext& context);
void addIniCommands(CLI::App& app, CliContext& context);
void addSettingsCommands(CLI::App& app, CliContext& context);
void addDbCommands(CLI::App& app, CliContext& context);
void addProjectCommands(CLI::App& app, CliContext& context);
void addProjectsCommands(CLI::App& app, CliContext& context);
void addCheckCommands(CLI::App& app, CliContext& context);
void addCreateCommands(CLI::App& app, CliContext& context);

} // namespace korvana::cli
