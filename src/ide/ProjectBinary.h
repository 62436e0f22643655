#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace korvana::ide {

// Binary settings a project keeps for itself in its project file (the IDE's
// window layout): rows of "TcfgBinary" keyed by (0, section, entry). The
// project is found through its registration; each call opens and closes the
// project file. Errors (a name that is not registered or could not be one, a
// missing or damaged file, a file without "TcfgBinary") are raised as
// korvana::Error.

// The stored bytes; empty when there is no such row or it holds no bytes.
std::vector<std::uint8_t> ReadProjectBinary(const Registry& registry, std::string_view project,
                                            std::string_view section, std::string_view entry);

// Stores the bytes in the row, adding the row when there is none.
void WriteProjectBinary(const Registry& registry, std::string_view project,
                        std::string_view section, std::string_view entry,
                        std::span<const std::uint8_t> data);

} // namespace korvana::ide
