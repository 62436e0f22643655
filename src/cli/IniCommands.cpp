#include "cli/Commands.h"

namespace korvana::cli {

void addIniCommands(CLI::App& /*app*/, CliContext& /*context*/) {}

} // namespace korvana::cli
