#pragma once

#include "platform/RegFileEntry.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// Reads regedit files the way regedit of current Windows imports them, so that
// a file regedit takes whole is taken whole here. The rules, each with the
// test group that guards it (tests/platform/RegFileRulesTest.cpp):
//
// | rule             | what is read                                         | test group      |
// |------------------|------------------------------------------------------|-----------------|
// | header           | "Windows Registry Editor Version 5.00" or "REGEDIT4" | Header          |
// |                  | (case as written) as the first line that is not      |                 |
// |                  | blank; blanks before it and any text after it on its |                 |
// |                  | line are passed over. Without it the file is refused |                 |
// |                  | as a whole and nothing is read.                      |                 |
// | encoding         | UTF-8 with or without a byte-order mark, UTF-16LE    | Encoding        |
// |                  | (and BE) with its mark; text that is not UTF-8 is    |                 |
// |                  | read in the Windows code page (1252).                |                 |
// | line ends        | CR LF, LF and CR alone, mixed freely.                | LineEnds        |
// | comments         | a line whose first non-blank character is ";" or     | Comments        |
// |                  | "#"; after a value's data, blanks then ";" or "#"    |                 |
// |                  | start a comment (inside quotes they are text).       |                 |
// | whitespace       | blanks and tabs before key and value lines, around   | Whitespace      |
// |                  | "=", after "dword:", "hex:", "hex(N):" and around    |                 |
// |                  | hex bytes are passed over; inside quotes and brackets|                 |
// |                  | they are part of the name (a trailing tab too).      |                 |
// | key line         | "[HIVE\Path]": the name runs to the last "]", after  | KeyLines        |
// |                  | which only blanks and a comment may follow. A        |                 |
// |                  | trailing "\" is dropped ("[HKCU\A\]" is HKCU\A). A   |                 |
// |                  | key without a known hive, of a hive not kept here,   |                 |
// |                  | with an empty part ("A\\B") or deeper than           |                 |
// |                  | maxKeyDepth is skipped, and so are its values.       |                 |
// | key deletion     | "[-HIVE\Path]" deletes the key and its sub-keys;     | KeyDeletion     |
// |                  | values after it have no key and are passed over.     |                 |
// | value deletion   | "Name"=- and @=-, blanks around "=" and after "-".   | ValueDeletion   |
// | strings          | "Name"="text" and @="text"; only \\ and \" escape,   | Strings         |
// |                  | any other backslash is refused (regedit would drop   |                 |
// |                  | it and store other text). Names and texts never      |                 |
// |                  | continue on the next line: a quote left open skips   |                 |
// |                  | the line, and the next line is read on its own.      |                 |
// | dwords           | dword: with one to eight hex digits; never wraps.    | Dwords          |
// | hex              | hex: (binary) and hex(N): for any type number N up   | HexTypes        |
// |                  | to eight hex digits, unknown ones included, kept     |                 |
// |                  | with type and bytes. Bytes of one or two digits, a   |                 |
// |                  | comma after the last byte is allowed. hex(1) holding |                 |
// |                  | UTF-16 text is that text, hex(4) of four bytes that  |                 |
// |                  | number.                                              |                 |
// | REGEDIT4 text    | in a REGEDIT4 file hex(1), hex(2) and hex(7) data    | Regedit4Text    |
// |                  | are text in the Windows code page, one byte a        |                 |
// |                  | character, and are stored as UTF-16 as in 5.00;      |                 |
// |                  | data that is UTF-16 already (even length, every      |                 |
// |                  | second byte zero) is kept as it is.                  |                 |
// | wrapped hex      | a "\" at the end of hex data (before a comment)      | WrappedHex      |
// |                  | continues it on the next line. Blank, blank-only and |                 |
// |                  | comment lines within are passed over. A line that is |                 |
// |                  | not hex bytes ends the wrap: the value is not        |                 |
// |                  | imported (its bytes would be a part only), and that  |                 |
// |                  | line is read as a line of its own. At the end of the |                 |
// |                  | file the bytes before the "\" are the value, and the |                 |
// |                  | line is reported, as the file may have been cut.     |                 |
//
// A line that breaks a rule is skipped and reported with its number; the rest
// of the file is read. A stored hive (Options::strict) is the program's own
// store and is read more strictly, because there a sloppy line is what a file
// cut short or damaged looks like: the first line that cannot be read raises
// korvana::Error naming the file and line, a last line without a line end, a
// dword of other than eight digits, a hex byte of one digit, hex data ending
// in a comma or in a "\" at the end of the file count as cut short, and
// deletions have no place in it.
//
// Memory and time grow with the file's size: every line is looked at once,
// and a wrapped value holds no more than its own text. A message quotes at
// most the beginning of a long line, and beyond 10,000 skipped lines the
// report counts the rest in one last entry instead of naming each.
class RegFileParser {
  public:
    struct Options {
        // True for a stored hive (see above); false for a file to import.
        bool strict = true;
        // A stored hive file holds sections of its own hive only.
        std::optional<Hive> onlyHive;
    };

    // Receives each entry as it is read, in file order.
    using Sink = std::function<void(RegFileEntry&& entry)>;

    // File bytes to UTF-8 text: drops a UTF-8 byte-order mark, converts UTF-16
    // (with its mark) and text written in the Windows code page. A stored hive
    // (`strict`) is UTF-8 as the program writes it; only a REGEDIT4 hive, which
    // can only have been put there by hand, is read in the code page.
    static std::string decode(std::string_view bytes, std::string_view source, bool strict = false);
    // The same for a file to import, without a copy where the bytes are UTF-8
    // already.
    static std::string decodeOwned(std::string bytes, std::string_view source);

    // `source` names the file in messages. A file without a header line is
    // refused as a whole (korvana::Error), except that a blank stored hive is
    // an empty hive.
    static RegFileContent parse(std::string_view text, std::string_view source,
                                const Options& options);

    // As parse, but hands each entry to `sink` as soon as it is read instead of
    // collecting them, so that a large file is not held twice.
    static void parseInto(std::string_view text, std::string_view source, const Options& options,
                          const Sink& sink, std::vector<RegFileProblem>& problems);

    // A first look at a file to import: the hives its key lines name. Refuses a
    // file that is not a registry file (korvana::Error), as parse does.
    struct Outline {
        bool localMachine = false;
        bool currentUser = false;
    };
    static Outline outline(std::string_view text, std::string_view source);
};

} // namespace korvana
