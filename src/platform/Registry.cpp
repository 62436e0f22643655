#include "platform/Registry.h"

#include "platform/TextUtil.h"

#include <charconv>
#include <limits>

namespace korvana {

std::string_view hiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::optional<Hive> parseHive(std::string_view name) {
    if (equalsIgnoreCase(name, "HKLM") || equalsIgnoreCase(name, "HKEY_LOCAL_MACHINE")) {
        return Hive::LocalMachine;
    }
    if (equalsIgnoreCase(name, "HKCU") || equalsIgnoreCase(name, "HKEY_CURRENT_USER")) {
        return Hive::CurrentUser;
    }
    return std::nullopt;
}

RegistryValue RegistryValue::string(std::string text) {
    return {static_cast<std::uint32_t>(ValueType::String), std::move(text)};
}

RegistryValue RegistryValue::dword(std::uint32_t number) {
    return {static_cast<std::uint32_t>(ValueType::Dword), number};
}

RegistryValue RegistryValue::binary(std::vector<std::uint8_t> bytes) {
    return {static_cast<std::uint32_t>(ValueType::Binary), std::move(bytes)};
}

namespace {

std::optional<std::int64_t> asNumber(const RegistryValue& value) {
    if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        return static_cast<std::int32_t>(*number);
    }
    if (const auto* text = std::get_if<std::string>(&value.data)) {
        const std::string_view trimmed = trim(*text);
        std::int64_t result = 0;
        const auto* end = trimmed.data() + trimmed.size();
        const auto [ptr, ec] = std::from_chars(trimmed.data(), end, result);
        if (ec == std::errc{} && ptr == end && !trimmed.empty()) {
            return result;
        }
    }
    return std::nullopt;
}

} // namespace

std::string Registry::readString(Hive hive, std::string_view key, std::string_view name,
                                 std::string_view defaultValue) const {
    const auto found = value(hive, key, name);
    if (!found) {
        return std::string(defaultValue);
    }
    if (const auto* text = std::get_if<std::string>(&found->data)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::uint32_t>(&found->data)) {
        return std::to_string(static_cast<std::int32_t>(*number));
    }
    return std::string(defaultValue);
}

std::int32_t Registry::readNumber(Hive hive, std::string_view key, std::string_view name,
                                  std::int32_t defaultValue) const {
    const auto found = value(hive, key, name);
    if (!found) {
        return defaultValue;
    }
    const auto number = asNumber(*found);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max()) {
        return defaultValue;
    }
    return static_cast<std::int32_t>(*number);
}

std::int32_t Registry::readBoundedNumber(Hive hive, std::string_view key, std::string_view name,
                                         std::int32_t defaultValue, std::int32_t lowest,
                                         std::int32_t highest) const {
    const auto found = value(hive, key, name);
    if (!found) {
        return defaultValue;
    }
    const auto number = asNumber(*found);
    if (!number || *number < lowest || *number > highest) {
        return defaultValue;
    }
    return static_cast<std::int32_t>(*number);
}

void Registry::setValues(Hive hive, std::string_view key, const std::vector<NamedValue>& values) {
    for (const auto& [name, value] : values) {
        setValue(hive, key, name, value);
    }
}

void Registry::writeString(Hive hive, std::string_view key, std::string_view name,
                           std::string_view text) {
    setValue(hive, key, name, RegistryValue::string(std::string(text)));
}

void Registry::writeNumber(Hive hive, std::string_view key, std::string_view name,
                           std::int32_t number) {
    setValue(hive, key, name, RegistryValue::dword(static_cast<std::uint32_t>(number)));
}

void Registry::writeBinary(Hive hive, std::string_view key, std::string_view name,
                           std::vector<std::uint8_t> bytes) {
    setValue(hive, key, name, RegistryValue::binary(std::move(bytes)));
}

} // namespace korvana
