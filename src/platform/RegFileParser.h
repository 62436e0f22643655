#pragma once

#include "platform/RegFileEntry.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// Reads regedit files: "Windows Registry Editor Version 5.00" or "REGEDIT4"
// header, [HKEY_...\Key] sections ([-HKEY_...\Key] deletes), "Name"="text",
// @ for the default value, dword:, hex: and typed hex(N): data (wrapped over
// lines with a trailing backslash), "Name"=- deletes, ";" comments. A key
// deeper than maxKeyDepth (RegistryNames.h) is a line that cannot be read.
class RegFileParser {
  public:
    struct Options {
        // A stored hive is read strictly: the first line that cannot be read
        // raises korvana::Error naming the file and line, and deletions have no
        // place in it. What looks like a file cut short counts as unreadable
        // too: a last line without its line end, hex data that ends in a comma
        // or has a byte of one digit, a dword of other than eight digits.
        // Otherwise (import) such a line is noted and skipped, as regedit does.
        bool strict = true;
        // A stored hive file holds sections of its own hive only.
        std::optional<Hive> onlyHive;
    };

    // File bytes to UTF-8 text: drops a UTF-8 byte-order mark, converts UTF-16
    // (with its mark) and a REGEDIT4 file written in the Windows code page.
    static std::string decode(std::string_view bytes, std::string_view source);

    // `source` names the file in messages. A file without a header line is
    // refused as a whole (korvana::Error), except that a blank stored hive is
    // an empty hive.
    static RegFileContent parse(std::string_view text, std::string_view source,
                                const Options& options);
};

} // namespace korvana
