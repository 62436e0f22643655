#include "cli/Commands.h"

namespace korvana::cli {

void addRegCommands(CLI::App& /*app*/, CliContext& /*context*/) {}

} // namespace korvana::cli
