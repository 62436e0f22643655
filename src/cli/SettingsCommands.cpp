#include "cli/Commands.h"

namespace korvana::cli {

void addSettingsCommands(CLI::App& /*app*/, CliContext& /*context*/) {}

} // namespace korvana::cli
