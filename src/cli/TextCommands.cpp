#include "cli/Commands.h"

namespace korvana::cli {

void addTextCommands(CLI::App& /*app*/, CliContext& /*context*/) {}

} // namespace korvana::cli
