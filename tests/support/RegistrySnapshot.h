#pragma once

#include "platform/Registry.h"

#include <string>

namespace korvana::test {

// Every key below `key` of the hive with its values, in stored order, as text:
// two registries that give the same text hold the same.
inline std::string snapshot(const Registry& from, Hive hive, const std::string& key = "") {
    std::string text = "[" + key + "]\n";
    for (const auto& [name, value] : from.values(hive, key)) {
        text += name + "=" + std::to_string(value.type) + ":";
        if (const auto* string = std::get_if<std::string>(&value.data)) {
            text += *string;
        } else if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
            text += std::to_string(*number);
        } else {
            text +=
                std::to_string(std::get<std::vector<std::uint8_t>>(value.data).size()) + " bytes";
        }
        text += "\n";
    }
    for (const auto& sub : from.subKeys(hive, key)) {
        text += snapshot(from, hive, key.empty() ? sub : key + "\\" + sub);
    }
    return text;
}

} // namespace korvana::test
