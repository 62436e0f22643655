#include "platform/RegFileParser.h"

#include "platform/Error.h"
#include "platform/RegistryNames.h"
#include "platform/TextUtil.h"
#include "platform/Utf16.h"

#include <algorithm>
#include <charconv>
#include <unicode/ucnv.h>

namespace korvana {

namespace {

constexpr std::string_view header5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view header4 = "REGEDIT4";
constexpr std::string_view blanks = " \t";

// A line that cannot be read; turned into an Error or a noted problem.
struct LineFailure {
    std::string message;
};

std::string_view trimLeft(std::string_view text) {
    const auto first = text.find_first_not_of(blanks);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view trimRight(std::string_view text) {
    const auto last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        const auto end = text_.find('\n', pos_);
        line = text_.substr(pos_, end == std::string_view::npos ? end : end - pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++number_;
        return true;
    }
    std::size_t number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

template <typename Number> Number parseHexNumber(std::string_view digits, std::string_view what) {
    Number result = 0;
    const auto* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, result, 16);
    if (digits.empty() || digits.size() > 2 * sizeof(Number) || ec != std::errc{} || ptr != end) {
        throw LineFailure{"invalid " + std::string(what) + " '" + std::string(digits) + "'"};
    }
    return result;
}

void expectNothingAfter(std::string_view rest, std::string_view what) {
    if (!trimLeft(rest).empty()) {
        throw LineFailure{"unexpected text after the " + std::string(what)};
    }
}

// A quoted name or text starting at text[pos] == '"'; leaves pos after the
// closing quote. Only \\ and \" are escapes, as regedit writes them.
std::string parseQuoted(std::string_view text, size_t& pos) {
    std::string result;
    for (size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return result;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                throw LineFailure{"a backslash in quoted text must be doubled"};
            }
            ++i;
        }
        result.push_back(text[i]);
    }
    throw LineFailure{"quoted text without closing quote"};
}

// Imported files may be sloppy (a trailing comma, one-digit bytes), as regedit
// lets them be. A stored hive is written by us or edited with care, so there
// these are signs of a file cut short or damaged and refused: the value would
// read as other bytes than were written.
std::vector<std::uint8_t> parseHexBytes(std::string_view list, bool strict) {
    std::vector<std::uint8_t> bytes;
    if (trimLeft(list).empty()) {
        return bytes;
    }
    size_t start = 0;
    while (start <= list.size()) {
        const auto comma = list.find(',', start);
        const auto token = trim(list.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        const bool last = comma == std::string_view::npos;
        if (token.empty() && last && !bytes.empty()) {
            if (strict) {
                throw LineFailure{"hex data ends with a comma, without a backslash that "
                                  "continues it on the next line"};
            }
            break;
        }
        if (strict && token.size() != 2) {
            throw LineFailure{"hex byte '" + std::string(token) + "' is not two digits"};
        }
        bytes.push_back(parseHexNumber<std::uint8_t>(token, "hex byte"));
        if (last) {
            break;
        }
        start = comma + 1;
    }
    return bytes;
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
    RegistryValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

class Parser {
  public:
    Parser(std::string_view source, const RegFileParser::Options& options)
        : source_(source), options_(options) {}

    RegFileContent run(std::string_view text) {
        LineReader reader(text);
        std::string_view line;
        bool headerSeen = false;
        if (options_.strict && !text.empty() && text.back() != '\n') {
            // Every line of a hive file we write ends with a line feed, and
            // so does what an editor saves; a file cut short usually does not.
            const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
            fail(static_cast<std::size_t>(lines),
                 "the last line has no line end (the file was cut short, or saved without a "
                 "line break at its end)");
        }
        while (reader.next(line)) {
            if (trim(line).empty()) {
                continue;
            }
            if (!headerSeen) {
                const auto head = trim(line);
                if (head != header5 && head != header4) {
                    throw Error(std::string(source_) + ", line " + std::to_string(reader.number()) +
                                ": not a registry file (the first line must be \"" +
                                std::string(header5) + "\" or \"" + std::string(header4) + "\")");
                }
                headerSeen = true;
                continue;
            }
            const std::size_t number = reader.number();
            try {
                readLine(line, reader, number);
            } catch (const LineFailure& failure) {
                fail(number, failure.message);
            }
        }
        if (!headerSeen && !options_.strict) {
            throw Error(std::string(source_) + ": not a registry file (it is empty)");
        }
        return std::move(content_);
    }

  private:
    enum class SectionState { None, Active, Skipped };

    void fail(std::size_t line, const std::string& message) {
        if (options_.strict) {
            throw Error(std::string(source_) + ", line " + std::to_string(line) + ": " + message);
        }
        content_.problems.push_back({line, message});
    }

    void readLine(std::string_view line, LineReader& reader, std::size_t number) {
        const auto text = trimLeft(line);
        if (text.front() == ';') {
            return;
        }
        if (text.front() == '[') {
            state_ = SectionState::Skipped; // until the section proves readable
            readSection(text, number);
            return;
        }
        if (text.front() == '"' || text.front() == '@') {
            const std::string logical = joinContinuation(text, reader);
            if (state_ == SectionState::None) {
                throw LineFailure{"value outside of a key section"};
            }
            if (state_ == SectionState::Active) {
                readValue(logical, number);
            }
            return;
        }
        throw LineFailure{"line not understood"};
    }

    // Long hex data continues on the next lines after a trailing backslash.
    static std::string joinContinuation(std::string_view first, LineReader& reader) {
        std::string logical(trimRight(first));
        std::string_view next;
        while (!logical.empty() && logical.back() == '\\' && reader.next(next)) {
            logical.pop_back();
            logical.append(trimRight(trimLeft(next)));
        }
        return logical;
    }

    void readSection(std::string_view text, std::size_t number) {
        const auto close = text.rfind(']');
        if (close == std::string_view::npos) {
            throw LineFailure{"key section without closing bracket"};
        }
        expectNothingAfter(text.substr(close + 1), "key section");
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
            throw LineFailure{"unknown hive '" + std::string(hiveText) + "'"};
        }
        if (options_.onlyHive && *options_.onlyHive != *hive) {
            throw LineFailure{"key of another hive (" + std::string(hiveText) + ")"};
        }
        std::string path;
        if (slash != std::string_view::npos) {
            path = inner.substr(slash + 1);
            if (path.empty()) {
                throw LineFailure{"key path ends with a backslash"};
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
        entry.key = std::move(path);
        entry.line = number;
        hive_ = *hive;
        content_.entries.push_back(std::move(entry));
        // Values after a deleted key have no key to go to; regedit passes over them.
        state_ = deletion ? SectionState::Skipped : SectionState::Active;
    }

    void readValue(std::string_view text, std::size_t number) {
        RegFileEntry entry;
        entry.hive = hive_;
        entry.line = number;
        size_t pos = 0;
        if (text.front() == '@') {
            pos = 1;
        } else {
            entry.name = parseQuoted(text, pos);
        }
        try {
            checkValueName(entry.name);
        } catch (const Error& error) {
            throw LineFailure{error.what()};
        }
        auto rest = trimLeft(text.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            throw LineFailure{"'=' expected after the value name"};
        }
        rest = trimLeft(rest.substr(1));
        entry.kind = RegFileEntry::Kind::Value;
        if (!rest.empty() && rest.front() == '-') {
            expectNothingAfter(rest.substr(1), "deletion mark");
            if (options_.strict) {
                throw LineFailure{"a stored hive holds no value deletions"};
            }
            entry.kind = RegFileEntry::Kind::DeleteValue;
        } else if (!rest.empty() && rest.front() == '"') {
            size_t end = 0;
            auto data = parseQuoted(rest, end);
            expectNothingAfter(rest.substr(end), "closing quote");
            if (!isValidUtf8(data)) {
                throw LineFailure{"text that is not UTF-8"};
            }
            entry.value = RegistryValue::string(std::move(data));
        } else if (startsWithIgnoreCase(rest, "dword:")) {
            const auto digits = trimRight(rest.substr(6));
            // regedit always writes eight digits; fewer in a stored hive mean lost digits.
            if (options_.strict && digits.size() != 8) {
                throw LineFailure{"dword '" + std::string(digits) + "' is not eight hex digits"};
            }
            entry.value = RegistryValue::dword(parseHexNumber<std::uint32_t>(digits, "dword"));
        } else if (startsWithIgnoreCase(rest, "hex")) {
            entry.value = readHex(rest.substr(3), options_.strict);
        } else {
            throw LineFailure{"unknown kind of value data"};
        }
        content_.entries.push_back(std::move(entry));
    }

    static RegistryValue readHex(std::string_view text, bool strict) {
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
        return typedHexValue(type, parseHexBytes(text.substr(1), strict));
    }

    std::string_view source_;
    RegFileParser::Options options_;
    RegFileContent content_;
    SectionState state_ = SectionState::None;
    Hive hive_ = Hive::LocalMachine;
};

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

} // namespace

std::string RegFileParser::decode(std::string_view bytes, std::string_view source) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
    }
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (littleEndian || bytes.starts_with("\xFE\xFF")) {
        if (auto text = utf16ToUtf8(bytes.substr(2), !littleEndian)) {
            return std::move(*text);
        }
        throw Error(std::string(source) + ": not valid UTF-16 text");
    }
    // REGEDIT4 files were written in the Windows code page, not in UTF-8.
    if (bytes.starts_with(header4) && !isValidUtf8(bytes)) {
        if (auto text = fromWindowsCodePage(bytes)) {
            return std::move(*text);
        }
    }
    return std::string(bytes);
}

RegFileContent RegFileParser::parse(std::string_view text, std::string_view source,
                                    const Options& options) {
    return Parser(source, options).run(text);
}

} // namespace korvana
