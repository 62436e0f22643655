#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::standin {

using Bytes = std::vector<std::uint8_t>;

// "0a0bff": two lower-case hex digits per byte, nothing between them.
std::string toHex(const Bytes& bytes);

// The bytes of a text of hex digit pairs (either case); nothing when the text
// has an odd length or anything but hex digits. An empty text is no bytes.
std::optional<Bytes> parseHex(std::string_view text);

} // namespace korvana::standin
