#include "cli/Commands.h"

namespace korvana::cli {

void addDbCommands(CLI::App& /*app*/, CliContext& /*context*/) {}

} // namespace korvana::cli
