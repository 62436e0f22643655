#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace korvana::ide {

// The bytes of a binary value of the developer's IDE settings; nothing when
// the value is missing or holds a string or a number, which the IDE never
// stores there.
std::optional<std::vector<std::uint8_t>>
readBinaryValue(const Registry& registry, std::string_view key, std::string_view name);

} // namespace korvana::ide
