#include "ide/BinaryValue.h"

namespace korvana::ide {

std::optional<std::vector<std::uint8_t>>
readBinaryValue(const Registry& registry, std::string_view key, std::string_view name) {
    const auto stored = registry.value(Hive::CurrentUser, key, name);
    if (!stored) {
        return std::nullopt;
    }
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&stored->data)) {
        return *bytes;
    }
    return std::nullopt;
}

} // namespace korvana::ide
