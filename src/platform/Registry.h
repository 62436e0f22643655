#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvana {

enum class Hive { LocalMachine, CurrentUser };

// "HKEY_LOCAL_MACHINE" / "HKEY_CURRENT_USER".
std::string_view hiveName(Hive hive);
// Accepts "HKLM", "HKEY_LOCAL_MACHINE", "HKCU", "HKEY_CURRENT_USER" (any case).
std::optional<Hive> parseHive(std::string_view name);

// Windows value types by their registry numbers. The system itself writes only
// strings, 32-bit numbers and binary; the others are kept so that an imported
// hive survives unchanged.
enum class ValueType : std::uint32_t {
    None = 0,
    String = 1,       // REG_SZ
    ExpandString = 2, // REG_EXPAND_SZ
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD
    MultiString = 7,  // REG_MULTI_SZ
    Qword = 11,       // REG_QWORD
};

// A registry value: a string (ValueType::String), a 32-bit number
// (ValueType::Dword) or raw bytes of any other type number (binary and typed
// hex values, kept with their type).
struct RegistryValue {
    std::uint32_t type = static_cast<std::uint32_t>(ValueType::String);
    std::variant<std::string, std::uint32_t, std::vector<std::uint8_t>> data;

    static RegistryValue string(std::string text);
    static RegistryValue dword(std::uint32_t number);
    static RegistryValue binary(std::vector<std::uint8_t> bytes);

    bool operator==(const RegistryValue&) const = default;
};

struct NamedValue {
    std::string name; // empty for the default value ("@" in a .reg file)
    RegistryValue value;
};

// The registry as the system uses it. Key paths are backslash-separated, relative
// to the hive ("Software\\ARVENTIK GmbH\\Korvana\\4.0"); key and value names are
// matched without regard to case and keep the case they were created with.
// Every operation raises korvana::Error on failure (a hive file that cannot be
// read or written, a key path with empty parts).
class Registry {
  public:
    virtual ~Registry() = default;

    // The value, or nothing when the key or the value is missing.
    virtual std::optional<RegistryValue> value(Hive hive, std::string_view key,
                                               std::string_view name) const = 0;
    // Creates the missing keys on the path.
    virtual void setValue(Hive hive, std::string_view key, std::string_view name,
                          const RegistryValue& value) = 0;
    // Sets several values of one key, by default one after another. The
    // registry kept in files makes them one change of its hive: all of them or,
    // when one is refused, none, written once.
    virtual void setValues(Hive hive, std::string_view key, const std::vector<NamedValue>& values);
    // Names of the direct sub-keys; empty when the key is missing.
    virtual std::vector<std::string> subKeys(Hive hive, std::string_view key) const = 0;
    // Values of the key in stored order; empty when the key is missing.
    virtual std::vector<NamedValue> values(Hive hive, std::string_view key) const = 0;
    virtual bool keyExists(Hive hive, std::string_view key) const = 0;
    // Deletes the key and all its sub-keys; a missing key is not an error.
    virtual void deleteKey(Hive hive, std::string_view key) = 0;
    // A missing value is not an error.
    virtual void deleteValue(Hive hive, std::string_view key, std::string_view name) = 0;

    // Convenience readers with the conversions the callers expect of a Variant:
    // a number read as text gives its decimal form, a numeric string read as a
    // number gives its value; anything else gives the default.
    std::string readString(Hive hive, std::string_view key, std::string_view name,
                           std::string_view defaultValue = {}) const;
    std::int32_t readNumber(Hive hive, std::string_view key, std::string_view name,
                            std::int32_t defaultValue) const;
    // The number, or the default when missing or outside [lowest, highest].
    std::int32_t readBoundedNumber(Hive hive, std::string_view key, std::string_view name,
                                   std::int32_t defaultValue, std::int32_t lowest,
                                   std::int32_t highest) const;

    void writeString(Hive hive, std::string_view key, std::string_view name, std::string_view text);
    void writeNumber(Hive hive, std::string_view key, std::string_view name, std::int32_t number);
    void writeBinary(Hive hive, std::string_view key, std::string_view name,
                     std::vector<std::uint8_t> bytes);
};

} // namespace korvana
