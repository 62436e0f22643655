#pragma once

#include "platform/Registry.h"

#include <functional>
#include <string>
#include <string_view>

namespace korvana {

class RegistryKey;

// Writes keys in regedit's "Windows Registry Editor Version 5.00" format:
// a key's section, its values in stored order, then its sub-keys depth first
// in the order they were created, so a file read and written again keeps its
// order and diffs stay small. Lines end with a line feed. Texts that hold
// control characters (line breaks above all) cannot stand between quotes and
// are written as hex(1) UTF-16LE bytes, as regedit does; reading them back
// gives the same text.
class RegFileWriter {
  public:
    static constexpr std::string_view header = "Windows Registry Editor Version 5.00";

    // Header and every key of the hive. The hive's own section appears only
    // when the hive itself holds values.
    static std::string hive(Hive hive, const RegistryKey& root);
    // The same text in pieces of about a megabyte, each handed to `sink` in
    // order, so that a large hive is written without being held whole.
    static void hive(Hive hive, const RegistryKey& root,
                     const std::function<void(std::string_view piece)>& sink);

    // The section of `key` (at `path` below the hive) and its sub-keys'
    // sections, each followed by a blank line; no header. An empty path with
    // `includeEmptyRoot` false leaves out a hive section without values.
    static void appendTree(std::string& out, Hive hive, std::string_view path,
                           const RegistryKey& key, bool includeEmptyRoot = true);

    // `"Name"=data` or `@=data`, without the line end.
    static void appendValue(std::string& out, const NamedValue& value);
};

} // namespace korvana
