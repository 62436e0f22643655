#pragma once

#include "platform/Registry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvana {

class RegistryKey;

// One statement of a regedit file, in file order. A Value or DeleteValue
// entry belongs to the key of the Key entry before it.
struct RegFileEntry {
    enum class Kind { Key, DeleteKey, Value, DeleteValue };

    Kind kind = Kind::Key;
    Hive hive = Hive::LocalMachine;
    std::string key;  // below the hive (Key, DeleteKey)
    std::string name; // value name, empty for the default value (Value, DeleteValue)
    RegistryValue value;
    std::size_t line = 0;
};

// A line that could not be read (import reports these and goes on).
struct RegFileProblem {
    std::size_t line = 0;
    std::string message;
};

struct RegFileContent {
    std::vector<RegFileEntry> entries;
    std::vector<RegFileProblem> problems;
};

// Applies the entries of one hive to its root key, in order; entries of the
// other hive are passed over. Returns whether anything changed.
bool applyRegFileEntries(const std::vector<RegFileEntry>& entries, Hive hive, RegistryKey& root);

} // namespace korvana
