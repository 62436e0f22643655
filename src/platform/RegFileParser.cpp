#include "platform/RegFileParser.h"

#include "platform/Error.h"
#include "platform/RegFileLines.h"
#include "platform/RegistryNames.h"
#include "platform/TextUtil.h"
#include "platform/Utf16.h"

#include <array>
#include <charconv>
#include <unicode/ucnv.h>

namespace korvana {

namespace {

constexpr std::string_view header5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view header4 = "REGEDIT4";
constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

constexpr std::size_t longestMessage = 200;
constexpr std::size_t mostProblems = 10000;

// A line that cannot be read; turned into an Error or a noted problem.
struct LineFailure {
    std::string message;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool startsComment(char c) {
    return c == ';' || c == '#';
}

std::string_view trimLeft(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first])) {
        ++first;
    }
    return text.substr(first);
}

std::string_view trimRight(std::string_view text) {
    std::size_t length = text.size();
    while (length > 0 && isBlank(text[length - 1])) {
        --length;
    }
    return text.substr(0, length);
}

// What may follow a value's data or a key's bracket: blanks, then nothing or
// a comment.
bool onlyCommentFollows(std::string_view rest) {
    rest = trimLeft(rest);
    return rest.empty() || startsComment(rest.front());
}

// Data without quotes (dword and hex data) ends where a comment starts. (A
// loop of its own: find_first_of looks up every character in the set of two,
// which costs more than the rest of reading a long line of hex.)
std::string_view dataBeforeComment(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && !startsComment(text[end])) {
        ++end;
    }
    return trimRight(text.substr(0, end));
}

bool isHeader(std::string_view line) {
    const auto text = trimLeft(line);
    return text.starts_with(header5) || text.starts_with(header4);
}

Error notARegistryFile(std::string_view source, std::size_t line) {
    return Error(std::string(source) + ", line " + std::to_string(line) +
                 ": not a registry file (the first line must be \"" + std::string(header5) +
                 "\" or \"" + std::string(header4) + "\")");
}

// Every line of a hive file we write ends with a line feed, and so does what
// an editor saves; a file cut short usually does not. A file of CRs alone
// ends with a CR.
bool endsWithLineEnd(std::string_view text) {
    return text.ends_with('\n') ||
           (text.ends_with('\r') && text.find('\n') == std::string_view::npos);
}

// The value of a hex digit, -1 for any other character; a table, as hex data
// is most of a large file.
constexpr auto hexDigits = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int d = 0; d < 10; ++d) {
        table[static_cast<std::size_t>('0' + d)] = static_cast<std::int8_t>(d);
    }
    for (int d = 0; d < 6; ++d) {
        table[static_cast<std::size_t>('a' + d)] = static_cast<std::int8_t>(10 + d);
        table[static_cast<std::size_t>('A' + d)] = static_cast<std::int8_t>(10 + d);
    }
    return table;
}();

int hexDigit(char c) {
    return hexDigits[static_cast<unsigned char>(c)];
}

template <typename Number> Number parseHexNumber(std::string_view digits, std::string_view what) {
    Number result = 0;
    const auto* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, result, 16);
    if (digits.empty() || digits.size() > 2 * sizeof(Number) || ec != std::errc{} || ptr != end) {
        throw LineFailure{"invalid " + std::string(what) + " '" + std::string(digits) + "'"};
    }
    return result;
}

// A quoted name or text starting at text[pos] == '"'; leaves pos after the
// closing quote. Only \\ and \" are escapes, as regedit writes them.
std::string parseQuoted(std::string_view text, std::size_t& pos) {
    std::string result;
    std::size_t from = pos + 1;
    while (true) {
        std::size_t stop = from;
        while (stop < text.size() && text[stop] != '"' && text[stop] != '\\') {
            ++stop;
        }
        if (stop == text.size()) {
            throw LineFailure{"quoted text without its closing quote on the same line"};
        }
        result.append(text.substr(from, stop - from));
        if (text[stop] == '"') {
            pos = stop + 1;
            return result;
        }
        if (stop + 1 >= text.size()) {
            throw LineFailure{"quoted text without its closing quote on the same line (texts "
                              "do not continue on the next line)"};
        }
        if (text[stop + 1] != '\\' && text[stop + 1] != '"') {
            throw LineFailure{"a backslash in quoted text must be doubled"};
        }
        result.push_back(text[stop + 1]);
        from = stop + 2;
    }
}

// Hex bytes separated by commas: "01,2f, ff". Imported files may be sloppy (a
// trailing comma, one-digit bytes), as regedit lets them be. A stored hive is
// written by us or edited with care, so there these are signs of a file cut
// short or damaged and refused: the value would read as other bytes than were
// written.
std::vector<std::uint8_t> parseHexBytes(std::string_view list, bool strict) {
    std::vector<std::uint8_t> bytes;
    list = trimLeft(list);
    if (list.empty()) {
        return bytes;
    }
    bytes.reserve(list.size() / 3 + 1);
    std::size_t at = 0;
    while (true) {
        while (at < list.size() && isBlank(list[at])) {
            ++at;
        }
        const std::size_t start = at;
        int value = 0;
        for (int digit = 0; at < list.size() && at - start < 3 && (digit = hexDigit(list[at])) >= 0;
             ++at) {
            value = value * 16 + digit;
        }
        const std::size_t digits = at - start;
        while (at < list.size() && isBlank(list[at])) {
            ++at;
        }
        const bool last = at == list.size();
        if (digits == 0 && last && !bytes.empty()) {
            if (strict) {
                throw LineFailure{"hex data ends with a comma, without a backslash that "
                                  "continues it on the next line"};
            }
            return bytes;
        }
        if (digits == 0 || digits > 2 || (!last && list[at] != ',')) {
            const auto end = list.find(',', start);
            throw LineFailure{
                "invalid hex byte '" +
                std::string(trimRight(list.substr(
                    start, end == std::string_view::npos ? std::string_view::npos : end - start))) +
                "'"};
        }
        if (strict && digits != 2) {
            throw LineFailure{"hex byte '" + std::string(list.substr(start, digits)) +
                              "' is not two digits"};
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        if (last) {
            return bytes;
        }
        ++at; // the comma
    }
}

// Whether a line within wrapped hex data goes on with it: hex digits, commas
// and blanks, and at most a "\" at its end.
bool continuesHex(std::string_view data) {
    if (!data.empty() && data.back() == '\\') {
        data.remove_suffix(1);
    }
    for (const char c : data) {
        if (hexDigit(c) < 0 && c != ',' && !isBlank(c)) {
            return false;
        }
    }
    return true;
}

RegistryValue typedHexValue(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    if (type == static_cast<std::uint32_t>(ValueType::String)) {
        std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (raw.size() >= 2 && raw[raw.size() - 1] == '\0' && raw[raw.size() - 2] == '\0') {
            raw.remove_suffix(2);
        }
        if (auto text = utf16ToUtf8(raw)) {
            return RegistryValue::string(std::move(*text));
        }
    }
    // The same number as dword: gives; regedit stores both alike.
    if (type == static_cast<std::uint32_t>(ValueType::Dword) && bytes.size() == 4) {
        return RegistryValue::dword(static_cast<std::uint32_t>(bytes[0]) |
                                    static_cast<std::uint32_t>(bytes[1]) << 8 |
                                    static_cast<std::uint32_t>(bytes[2]) << 16 |
                                    static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    RegistryValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

std::optional<std::string> fromWindowsCodePage(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    const auto length = static_cast<std::int32_t>(bytes.size());
    const auto needed =
        ucnv_convert("UTF-8", "windows-1252", nullptr, 0, bytes.data(), length, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        return std::nullopt;
    }
    std::string result(static_cast<size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    ucnv_convert("UTF-8", "windows-1252", result.data(), needed, bytes.data(), length, &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    return result;
}

class Parser {
  public:
    Parser(std::string_view source, const RegFileParser::Options& options,
           const RegFileParser::Sink& sink, std::vector<RegFileProblem>& problems)
        : source_(source), options_(options), sink_(sink), problems_(problems) {}

    void run(std::string_view text) {
        if (text.starts_with(utf8Mark)) {
            text.remove_prefix(utf8Mark.size());
        }
        RegFileLines lines(text);
        if (options_.strict && !text.empty() && !endsWithLineEnd(text)) {
            fail(RegFileLines::count(text),
                 "the last line has no line end (the file was cut short, or saved without a "
                 "line break at its end)");
        }
        if (!readHeader(lines)) {
            return;
        }
        std::string_view line;
        while (lines.next(line)) {
            const std::size_t number = lines.number();
            try {
                readLine(line, lines, number);
            } catch (const LineFailure& failure) {
                fail(number, failure.message);
            }
        }
        if (unlisted_ > 0) {
            problems_.push_back({firstUnlisted_, "and " + std::to_string(unlisted_) +
                                                     " more lines from here on that could not "
                                                     "be read (not listed one by one; skipped)"});
        }
    }

  private:
    // Where values go: to the key read last, nowhere after a deleted key, and
    // nowhere but into the report after a key that could not be read.
    enum class SectionState { None, Active, Deleted, Unreadable };

    // False for a blank stored hive (an empty hive).
    bool readHeader(RegFileLines& lines) {
        std::string_view line;
        while (lines.next(line)) {
            if (trimLeft(line).empty()) {
                continue;
            }
            if (!isHeader(line)) {
                throw notARegistryFile(source_, lines.number());
            }
            codePageText_ = trimLeft(line).starts_with(header4);
            return true;
        }
        if (!options_.strict) {
            throw Error(std::string(source_) + ": not a registry file (it is empty)");
        }
        return false;
    }

    void fail(std::size_t line, std::string message) {
        // A message quotes what it could not read; a line of megabytes is
        // quoted by its beginning.
        if (message.size() > longestMessage) {
            std::size_t cut = longestMessage;
            while (cut > 0 && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80) {
                --cut; // not within a UTF-8 character
            }
            message.resize(cut);
            message += "...";
        }
        if (options_.strict) {
            throw Error(std::string(source_) + ", line " + std::to_string(line) + ": " + message);
        }
        note(line, message + " (line skipped)");
    }

    // A file of nothing but bad lines would otherwise cost more memory in
    // its report than it takes itself: beyond mostProblems only the count
    // is kept.
    void note(std::size_t line, std::string message) {
        if (problems_.size() < mostProblems) {
            problems_.push_back({line, std::move(message)});
            return;
        }
        if (unlisted_++ == 0) {
            firstUnlisted_ = line;
        }
    }

    void readLine(std::string_view line, RegFileLines& lines, std::size_t number) {
        const auto text = trimLeft(line);
        if (text.empty() || startsComment(text.front())) {
            return;
        }
        if (text.front() == '[') {
            state_ = SectionState::Unreadable; // until the key proves readable
            keyLine_ = number;
            readKey(text, number);
            return;
        }
        if (text.front() == '"' || text.front() == '@') {
            readValue(text, lines, number);
            return;
        }
        throw LineFailure{"line not understood"};
    }

    void readKey(std::string_view text, std::size_t number) {
        const auto close = text.rfind(']');
        if (close == std::string_view::npos) {
            throw LineFailure{"key line without closing bracket"};
        }
        if (!onlyCommentFollows(text.substr(close + 1))) {
            throw LineFailure{"unexpected text after the key's closing bracket"};
        }
        auto inner = text.substr(1, close - 1);
        const bool deletion = !inner.empty() && inner.front() == '-';
        if (deletion) {
            inner.remove_prefix(1);
        }
        const auto slash = inner.find('\\');
        const auto hiveText = inner.substr(0, slash);
        const auto hive = parseHive(hiveText);
        if (!hive) {
            if (startsWithIgnoreCase(hiveText, "HKEY_")) {
                throw LineFailure{"the hive " + std::string(hiveText) + " is not kept here"};
            }
            throw LineFailure{"key without a hive ('" + std::string(inner) +
                              "' does not start with HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER)"};
        }
        if (options_.onlyHive && *options_.onlyHive != *hive) {
            throw LineFailure{"key of another hive (" + std::string(hiveText) + ")"};
        }
        std::string_view path;
        if (slash != std::string_view::npos) {
            path = inner.substr(slash + 1);
            // regedit, like the registry itself, takes "[HKCU\A\]" as HKCU\A.
            if (path.ends_with('\\')) {
                path.remove_suffix(1);
            }
            try {
                const auto parts = splitKeyPath(path);
                checkKeyDepth(parts.size());
                for (const auto part : parts) {
                    checkKeyName(part);
                }
            } catch (const Error& error) {
                throw LineFailure{error.what()};
            }
        }
        if (deletion) {
            if (options_.strict) {
                throw LineFailure{"a stored hive holds no key deletions"};
            }
            if (path.empty()) {
                throw LineFailure{"a whole hive cannot be deleted"};
            }
        }
        RegFileEntry entry;
        entry.kind = deletion ? RegFileEntry::Kind::DeleteKey : RegFileEntry::Kind::Key;
        entry.hive = *hive;
        entry.key = std::string(path);
        entry.line = number;
        hive_ = *hive;
        sink_(std::move(entry));
        state_ = deletion ? SectionState::Deleted : SectionState::Active;
    }

    void readValue(std::string_view text, RegFileLines& lines, std::size_t number) {
        RegFileEntry entry;
        entry.hive = hive_;
        entry.line = number;
        entry.kind = RegFileEntry::Kind::Value;
        std::size_t pos = 1;
        if (text.front() == '"') {
            pos = 0;
            entry.name = parseQuoted(text, pos);
        }
        auto rest = trimLeft(text.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            throw LineFailure{"'=' expected after the value name"};
        }
        rest = trimLeft(rest.substr(1));
        // The data is read first, wrapped lines included, so that a value
        // that has no place to go still takes its own lines with it.
        if (!rest.empty() && rest.front() == '-') {
            if (!onlyCommentFollows(rest.substr(1))) {
                throw LineFailure{"unexpected text after the deletion mark"};
            }
            entry.kind = RegFileEntry::Kind::DeleteValue;
        } else if (!rest.empty() && rest.front() == '"') {
            std::size_t end = 0;
            auto data = parseQuoted(rest, end);
            if (!onlyCommentFollows(rest.substr(end))) {
                throw LineFailure{"unexpected text after the closing quote"};
            }
            if (!isValidUtf8(data)) {
                throw LineFailure{"text that is not UTF-8"};
            }
            entry.value = RegistryValue::string(std::move(data));
        } else if (startsWithIgnoreCase(rest, "dword:")) {
            const auto digits = trimLeft(dataBeforeComment(rest.substr(6)));
            // regedit always writes eight digits; fewer in a stored hive mean lost digits.
            if (options_.strict && digits.size() != 8) {
                throw LineFailure{"dword '" + std::string(digits) + "' is not eight hex digits"};
            }
            entry.value = RegistryValue::dword(parseHexNumber<std::uint32_t>(digits, "dword"));
        } else if (startsWithIgnoreCase(rest, "hex")) {
            entry.value = readHex(rest.substr(3), lines, number);
        } else {
            throw LineFailure{"unknown kind of value data"};
        }
        if (entry.kind == RegFileEntry::Kind::DeleteValue && options_.strict) {
            throw LineFailure{"a stored hive holds no value deletions"};
        }
        switch (state_) {
        case SectionState::None:
            throw LineFailure{"value outside of a key section"};
        case SectionState::Unreadable:
            throw LineFailure{"value of the key on line " + std::to_string(keyLine_) +
                              ", which could not be read"};
        case SectionState::Deleted:
            return; // regedit passes over values of a key just deleted
        case SectionState::Active:
            break;
        }
        try {
            checkValueName(entry.name);
        } catch (const Error& error) {
            throw LineFailure{error.what()};
        }
        sink_(std::move(entry));
    }

    // "hex:" or "hex(N):" data, `text` starting after "hex", continued on the
    // next lines while a line's data ends with a backslash.
    RegistryValue readHex(std::string_view text, RegFileLines& lines, std::size_t number) {
        std::uint32_t type = static_cast<std::uint32_t>(ValueType::Binary);
        if (!text.empty() && text.front() == '(') {
            const auto close = text.find(')');
            if (close == std::string_view::npos) {
                throw LineFailure{"hex( without closing bracket"};
            }
            type = parseHexNumber<std::uint32_t>(text.substr(1, close - 1), "value type");
            text.remove_prefix(close + 1);
        }
        if (text.empty() || text.front() != ':') {
            throw LineFailure{"':' expected after hex"};
        }
        auto data = dataBeforeComment(text.substr(1));
        if (!data.ends_with('\\')) {
            return hexValue(type, parseHexBytes(data, options_.strict));
        }
        std::string joined;
        while (data.ends_with('\\')) {
            data.remove_suffix(1);
            joined.append(data);
            std::string_view next;
            if (!nextDataLine(lines, next)) {
                if (options_.strict) {
                    throw LineFailure{"hex data continued past the end of the file (the file was "
                                      "cut short)"};
                }
                // The bytes before the end are kept, as regedit keeps them; the
                // report says that the file may have been cut there.
                note(number, "hex data continued past the end of the file; the value was "
                             "imported with the bytes before it");
                return hexValue(type, parseHexBytes(joined, false));
            }
            data = dataBeforeComment(trimLeft(next));
            if (!continuesHex(data)) {
                const auto breaking = lines.number();
                lines.unread();
                throw LineFailure{"hex data continued with line " + std::to_string(breaking) +
                                  ", which is not hex data; the value was not imported and "
                                  "that line is read on its own"};
            }
        }
        joined.append(data);
        return hexValue(type, parseHexBytes(joined, options_.strict));
    }

    // REGEDIT4 comes from before the registry held UTF-16: its hex(1),
    // hex(2) and hex(7) data are text in the Windows code page, one byte a
    // character, which regedit turns into UTF-16 as it imports them. Data that
    // is UTF-16 already (later tools write it under the old header too) would
    // come out as every other character a zero, so it is kept as it is: text
    // in the code page is never of even length with every second byte zero.
    static bool looksLikeUtf16(const std::vector<std::uint8_t>& bytes) {
        if (bytes.size() % 2 != 0) {
            return false;
        }
        for (std::size_t i = 1; i < bytes.size(); i += 2) {
            if (bytes[i] != 0) {
                return false;
            }
        }
        return true;
    }

    RegistryValue hexValue(std::uint32_t type, std::vector<std::uint8_t> bytes) const {
        const bool text = type == static_cast<std::uint32_t>(ValueType::String) ||
                          type == static_cast<std::uint32_t>(ValueType::ExpandString) ||
                          type == static_cast<std::uint32_t>(ValueType::MultiString);
        if (!codePageText_ || !text || bytes.empty() || looksLikeUtf16(bytes)) {
            return typedHexValue(type, std::move(bytes));
        }
        auto utf8 = fromWindowsCodePage(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        if (!utf8) {
            return typedHexValue(type, std::move(bytes));
        }
        if (type == static_cast<std::uint32_t>(ValueType::String)) {
            if (utf8->ends_with('\0')) {
                utf8->pop_back();
            }
            return RegistryValue::string(std::move(*utf8));
        }
        // The text holds its own terminators; the one added here goes again.
        auto wide = utf8ToUtf16leWithTerminator(*utf8);
        wide.resize(wide.size() - 2);
        return typedHexValue(type, std::move(wide));
    }

    // The next line within wrapped hex data, passing over blank and comment lines.
    static bool nextDataLine(RegFileLines& lines, std::string_view& line) {
        while (lines.next(line)) {
            const auto text = trimLeft(line);
            if (!text.empty() && !startsComment(text.front())) {
                return true;
            }
        }
        return false;
    }

    std::string_view source_;
    const RegFileParser::Options& options_;
    const RegFileParser::Sink& sink_;
    std::vector<RegFileProblem>& problems_;
    SectionState state_ = SectionState::None;
    std::size_t keyLine_ = 0;
    Hive hive_ = Hive::LocalMachine;
    std::size_t unlisted_ = 0;
    std::size_t firstUnlisted_ = 0;
    bool codePageText_ = false;
};

// The text of `bytes` when it needs converting; nothing when it is UTF-8 as it is.
std::optional<std::string> converted(std::string_view bytes, std::string_view source, bool strict) {
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (littleEndian || bytes.starts_with("\xFE\xFF")) {
        if (auto text = utf16ToUtf8(bytes.substr(2), !littleEndian)) {
            return text;
        }
        throw Error(std::string(source) + ": not valid UTF-16 text");
    }
    // Files without a byte-order mark were written in the Windows code page
    // (REGEDIT4 always, hand-made ones often), not in UTF-8.
    const auto firstLine = bytes.substr(0, bytes.find_first_of("\r\n"));
    const bool codePageHeader =
        strict ? trimLeft(firstLine).starts_with(header4) : isHeader(firstLine);
    if (!bytes.starts_with(utf8Mark) && codePageHeader && !isValidUtf8(bytes)) {
        return fromWindowsCodePage(bytes);
    }
    return std::nullopt;
}

} // namespace

std::string RegFileParser::decode(std::string_view bytes, std::string_view source, bool strict) {
    if (auto text = converted(bytes, source, strict)) {
        return std::move(*text);
    }
    return std::string(bytes.starts_with(utf8Mark) ? bytes.substr(utf8Mark.size()) : bytes);
}

std::string RegFileParser::decodeOwned(std::string bytes, std::string_view source) {
    if (auto text = converted(bytes, source, false)) {
        return std::move(*text);
    }
    // The parser passes over a UTF-8 mark itself; dropping it here would copy.
    return bytes;
}

RegFileContent RegFileParser::parse(std::string_view text, std::string_view source,
                                    const Options& options) {
    RegFileContent content;
    parseInto(
        text, source, options,
        [&content](RegFileEntry&& entry) { content.entries.push_back(std::move(entry)); },
        content.problems);
    return content;
}

void RegFileParser::parseInto(std::string_view text, std::string_view source,
                              const Options& options, const Sink& sink,
                              std::vector<RegFileProblem>& problems) {
    Parser(source, options, sink, problems).run(text);
}

RegFileParser::Outline RegFileParser::outline(std::string_view text, std::string_view source) {
    if (text.starts_with(utf8Mark)) {
        text.remove_prefix(utf8Mark.size());
    }
    RegFileLines lines(text);
    std::string_view line;
    bool headerSeen = false;
    Outline result;
    while (lines.next(line)) {
        auto start = trimLeft(line);
        if (!headerSeen) {
            if (start.empty()) {
                continue;
            }
            if (!isHeader(start)) {
                throw notARegistryFile(source, lines.number());
            }
            headerSeen = true;
            continue;
        }
        if (!start.starts_with('[')) {
            continue;
        }
        start.remove_prefix(start.starts_with("[-") ? 2 : 1);
        if (const auto hive = parseHive(start.substr(0, start.find_first_of("\\]")))) {
            (*hive == Hive::LocalMachine ? result.localMachine : result.currentUser) = true;
        }
        if (result.localMachine && result.currentUser) {
            break; // nothing more to learn from the rest of a large file
        }
    }
    if (!headerSeen) {
        throw Error(std::string(source) + ": not a registry file (it is empty)");
    }
    return result;
}

} // namespace korvana
