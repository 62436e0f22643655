#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// Binary values as the tools write them for people and scripts: "0a0bff", two
// lower-case hex digits per byte and nothing between them.
std::string toHex(std::span<const std::uint8_t> bytes);

// The bytes of a text of hex digit pairs (either case); nothing when the text
// has an odd length or anything but hex digits. An empty text is no bytes.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text);

} // namespace korvana
