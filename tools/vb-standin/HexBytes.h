#pragma once

#include "platform/HexBytes.h"

#include <cstdint>
#include <vector>

namespace korvana::standin {

using Bytes = std::vector<std::uint8_t>;
using korvana::parseHex;
using korvana::toHex;

} // namespace korvana::standin
