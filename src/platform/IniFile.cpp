#include "platform/IniFile.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unicode/utf8.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace korvana {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string quoted(const fs::path& file) {
    return "'" + file.string() + "'";
}

// "0x1B"
std::string hexByte(unsigned char byte) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    return std::string("0x") + digits[byte >> 4] + digits[byte & 0xF];
}

// The DOS end-of-file mark, which old editors put after the last line.
constexpr char endOfFileMark = '\x1A';

// The reader takes a file byte for byte and understands two encodings: UTF-8,
// which a byte-order mark may declare, and the Windows code page 1252, in which
// the IDE writes project files (they are kept byte for byte all the same). A
// file is text when
//  - it holds no control character but tab, line feed, carriage return and
//    form feed, and no DEL; the end-of-file mark only as its very last byte;
//  - it is valid UTF-8 without the C1 control characters U+0080 to U+009F;
//  - or, without a byte-order mark, read as Windows-1252 it holds none of the
//    five bytes that code page leaves unassigned (81, 8D, 8F, 90, 9D) and no
//    more bytes above 7F than below: a Western text is mostly ASCII, which
//    binary data is not.
// UTF-16 is not read, with or without its mark, so it is not text either.
//
// The answer is why the text is not text, naming the place, so that the
// developer can find the byte that an editor or a tool put there; nothing when
// it is text.
std::optional<std::string> whyNotText(std::string_view text) {
    const auto at = [](std::size_t offset) {
        return "at byte offset " + std::to_string(offset) + ": ";
    };
    const std::size_t start = text.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    const bool marked = start > 0;
    text = text.substr(0, text.size() - (text.ends_with(endOfFileMark) ? 1 : 0));
    std::size_t high = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f') ||
            byte == 0x7F) {
            return at(i) + "the control character " + hexByte(byte);
        }
        high += byte >= 0x80 ? 1 : 0;
    }
    if (high == 0) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::optional<std::size_t> notUtf8;
    for (auto offset = static_cast<std::int32_t>(start); offset < length && !notUtf8;) {
        const std::int32_t character = offset;
        UChar32 c = 0;
        U8_NEXT(bytes, offset, length, c);
        if (c >= 0x80 && c <= 0x9F) {
            return at(static_cast<std::size_t>(character)) + "a control character (U+00" +
                   hexByte(static_cast<unsigned char>(c)).substr(2) + ")";
        }
        if (c < 0) {
            notUtf8 = static_cast<std::size_t>(character);
        }
    }
    if (!notUtf8) {
        return std::nullopt;
    }
    if (marked) {
        return at(*notUtf8) + "not UTF-8, which the byte-order mark declares";
    }
    if (const auto unassigned = text.find_first_of("\x81\x8D\x8F\x90\x9D", start);
        unassigned != std::string_view::npos) {
        return at(unassigned) + "the byte " +
               hexByte(static_cast<unsigned char>(text[unassigned])) +
               ", which is neither UTF-8 nor a character of Windows-1252";
    }
    if (high > text.size() - start - high) {
        return std::string("more of its bytes lie above 7F than below, as in binary data");
    }
    return std::nullopt;
}

// A line ends at CR LF, at LF, or at a CR alone, as old Macintosh editors
// wrote them. Read as part of the line, a lone CR would hide the keys after it,
// and a key added to its section would be glued onto that line.
std::size_t lineBreakLength(std::string_view text, std::size_t at) {
    if (at >= text.size() || (text[at] != '\r' && text[at] != '\n')) {
        return 0;
    }
    return text.substr(at).starts_with("\r\n") ? 2 : 1;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The characters a name or value may not hold, whatever the file's encoding:
// a line break would split the line, and any other control character would
// make the file no text. Tab and form feed are text to the reader, so they may
// stand inside a value.
std::optional<unsigned char> forbiddenCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\f') || byte == 0x7F) {
            return byte;
        }
    }
    return std::nullopt;
}

// The text itself is not repeated: it holds what a terminal should not show.
void refuseForbidden(const std::string& what, std::string_view text) {
    const auto byte = forbiddenCharacter(text);
    if (!byte) {
        return;
    }
    std::string character = "a line break";
    if (*byte != '\n' && *byte != '\r') {
        character = "a control character (U+00" + hexByte(*byte).substr(2) + ")";
    }
    throw Error(what + " cannot hold " + character, runtimeErrors::invalidProcedureCall);
}

// The file that a write must replace: the target of a symbolic link, so that
// the link survives.
fs::path writeTarget(const fs::path& file) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        const fs::path target = fs::weakly_canonical(file, error);
        if (!error) {
            return target;
        }
    }
    return file;
}

class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& beside) {
        for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
            std::string name = beside.filename().string();
            name.insert(0, 1, '.');
            name.append(".tmp").append(std::to_string(getpid()));
            name.append("-").append(std::to_string(attempt));
            path_ = beside.parent_path() / name;
            // Created with 0666 so that the process umask decides, as for any
            // new file.
            descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ < 0 && errno != EEXIST) {
                break;
            }
        }
        if (descriptor_ < 0) {
            throw Error("Cannot write " + quoted(beside) + ": " + std::strerror(errno),
                        runtimeErrors::pathFileAccessError);
        }
    }
    ~TemporaryFile() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        if (!committed_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool write(std::string_view data) {
        while (!data.empty()) {
            const ssize_t written = ::write(descriptor_, data.data(), data.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            data.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }
    bool keepMode(mode_t mode) { return ::fchmod(descriptor_, mode) == 0; }
    bool finish() {
        const bool synced = ::fsync(descriptor_) == 0;
        const bool closed = ::close(descriptor_) == 0;
        descriptor_ = -1;
        return synced && closed;
    }
    bool renameTo(const fs::path& target) {
        committed_ = ::rename(path_.c_str(), target.c_str()) == 0;
        return committed_;
    }

  private:
    fs::path path_;
    int descriptor_ = -1;
    bool committed_ = false;
};

} // namespace

IniFile::IniFile(fs::path file, std::string text) : path_(std::move(file)), text_(std::move(text)) {
    if (const auto why = whyNotText(text_)) {
        throw Error(quoted(path_) + " is not a text file (" + *why + ")",
                    runtimeErrors::pathFileAccessError);
    }
}

IniFile IniFile::load(const fs::path& file) {
    const fs::path native = paths::toFileSystemPath(file.string());
    if (native.empty()) {
        // A Windows drive: nothing can be there, so everything reads as missing.
        return IniFile(file, {});
    }
    std::error_code error;
    const auto status = fs::status(native, error);
    if (status.type() == fs::file_type::not_found) {
        return IniFile(file, {});
    }
    if (error || status.type() != fs::file_type::regular) {
        throw Error("Cannot read " + quoted(file) + ": not a readable file",
                    runtimeErrors::pathFileAccessError);
    }
    std::ifstream in(native, std::ios::binary);
    if (!in.is_open()) {
        throw Error("Cannot read " + quoted(file) + ": " + std::strerror(errno),
                    runtimeErrors::pathFileAccessError);
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw Error("Cannot read " + quoted(file), runtimeErrors::pathFileAccessError);
    }
    return IniFile(file, std::move(content).str());
}

IniFile::Line IniFile::lineAt(std::size_t position, std::optional<std::string_view> section) const {
    const std::size_t end = textEnd();
    Line line;
    line.begin = position;
    line.contentEnd = std::min(text_.find_first_of("\r\n", position), end);
    line.end = line.contentEnd + lineBreakLength(text_, line.contentEnd);
    const std::string_view content(text_.data() + line.begin, line.contentEnd - line.begin);
    const std::string_view trimmed = trim(content);
    line.section = section;
    if (trimmed.empty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (trimmed.front() == '[') {
        line.kind = LineKind::Section;
        const auto close = trimmed.find(']');
        line.name = trim(trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                           : close - 1));
        line.section = line.name;
    } else if (const auto equals = content.find('='); equals != std::string_view::npos) {
        line.name = trim(content.substr(0, equals));
        const std::string_view rawValue = content.substr(equals + 1);
        const std::string_view value = trim(rawValue);
        line.valueBegin =
            line.begin + equals + 1 +
            (value.empty() ? rawValue.size()
                           : static_cast<std::size_t>(value.data() - rawValue.data()));
        line.valueEnd = line.valueBegin + value.size();
        line.kind = line.name.empty() ? LineKind::Other : LineKind::Key;
    }
    return line;
}

template <typename Visit> void IniFile::forEachLine(Visit visit) const {
    std::size_t position = text_.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    const std::size_t end = textEnd();
    std::optional<std::string_view> section;
    while (position < end) {
        const Line line = lineAt(position, section);
        section = line.section;
        position = line.end;
        if (!visit(line)) {
            return;
        }
    }
}

std::size_t IniFile::textEnd() const {
    return text_.size() - (text_.ends_with(endOfFileMark) ? 1 : 0);
}

std::string IniFile::lineBreak() const {
    const auto first = text_.find_first_of("\r\n");
    if (first == std::string::npos) {
        return "\r\n";
    }
    return text_.substr(first, lineBreakLength(text_, first));
}

// A key line of that section and name.
bool IniFile::Line::isKey(std::string_view sectionName, std::string_view key) const {
    return kind == LineKind::Key && section && equalsIgnoreCase(*section, sectionName) &&
           equalsIgnoreCase(name, key);
}

std::optional<IniFile::Line> IniFile::findKey(std::string_view section,
                                              std::string_view key) const {
    std::optional<Line> found;
    forEachLine([&](const Line& line) {
        if (line.isKey(section, key)) {
            found = line;
        }
        return !found;
    });
    return found;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto line = findKey(section, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(unquote(
        std::string_view(text_).substr(line->valueBegin, line->valueEnd - line->valueBegin)));
}

std::string IniFile::read(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const {
    auto found = value(section, key);
    return found ? std::move(*found) : std::string(defaultValue);
}

void IniFile::checkEntry(std::string_view section, std::string_view key, std::string_view value) {
    refuseForbidden("An INI section name", section);
    if (section.empty() || trim(section) != section ||
        section.find(']') != std::string_view::npos) {
        throw Error("Invalid INI section name '" + std::string(section) + "'",
                    runtimeErrors::invalidProcedureCall);
    }
    refuseForbidden("An INI key name", key);
    if (key.empty() || trim(key) != key || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';') {
        throw Error("Invalid INI key name '" + std::string(key) + "'",
                    runtimeErrors::invalidProcedureCall);
    }
    refuseForbidden("The value of INI key '" + std::string(key) + "'", value);
}

bool IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    checkEntry(section, key, value);
    std::string before = text_;
    if (!change(section, key, value)) {
        return false;
    }
    keepText(std::move(before), "Setting key '" + std::string(key) + "'");
    return true;
}

void IniFile::keepText(std::string before, const std::string& change) {
    // What this class writes it must be able to read back: the encoding rule
    // looks at the whole file, so a change with no control character can still
    // tip a mostly-ASCII Windows-1252 file over into binary-looking data.
    if (const auto why = whyNotText(text_)) {
        text_ = std::move(before);
        throw Error(change + " would make " + quoted(path_) + " a file that is not text (" + *why +
                        ")",
                    runtimeErrors::invalidProcedureCall);
    }
}

bool IniFile::change(std::string_view section, std::string_view key, std::string_view value) {
    if (const auto line = findKey(section, key)) {
        const std::size_t length = line->valueEnd - line->valueBegin;
        const std::string_view current = std::string_view(text_).substr(line->valueBegin, length);
        if (current == value || unquote(current) == value) {
            return false;
        }
        text_.replace(line->valueBegin, length, value);
        return true;
    }
    const std::string newline = lineBreak();
    const std::string entry = std::string(key) + "=" + std::string(value) + newline;

    // The last key (or header) of the first section of that name, and the
    // kind of the file's last line.
    std::optional<Line> last;
    bool inSection = false;
    std::optional<LineKind> lastKind;
    forEachLine([&](const Line& line) {
        lastKind = line.kind;
        if (line.kind == LineKind::Section) {
            if (inSection) {
                inSection = false;
            } else if (!last && equalsIgnoreCase(line.name, section)) {
                inSection = true;
                last = line;
            }
        } else if (inSection && (line.kind == LineKind::Key || line.kind == LineKind::Other)) {
            // Comments after the last key may well introduce the next section.
            last = line;
        }
        return true;
    });
    if (last) {
        // A last line without a line break gets one before the new key.
        const bool unterminated = last->end == last->contentEnd;
        text_.insert(last->end, unterminated ? newline + entry : entry);
        return true;
    }

    std::string addition;
    const std::size_t start = text_.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    const std::size_t end = textEnd();
    if (end > start) {
        if (text_[end - 1] != '\n' && text_[end - 1] != '\r') {
            addition += newline;
        }
        if (lastKind && *lastKind != LineKind::Blank) {
            addition += newline; // a blank line between sections
        }
    }
    addition.append("[").append(section).append("]").append(newline).append(entry);
    text_.insert(end, addition);
    return true;
}

bool IniFile::remove(std::string_view section, std::string_view key) {
    // The text without the key's lines, written afresh in one pass.
    std::string kept = text_.substr(0, text_.starts_with(byteOrderMark) ? byteOrderMark.size() : 0);
    kept.reserve(text_.size());
    bool removed = false;
    forEachLine([&](const Line& line) {
        if (line.isKey(section, key)) {
            removed = true;
        } else {
            kept.append(text_, line.begin, line.end - line.begin);
        }
        return true;
    });
    if (removed) {
        kept.append(text_, textEnd());
        std::string before = std::exchange(text_, std::move(kept));
        keepText(std::move(before), "Deleting key '" + std::string(key) + "'");
    }
    return removed;
}

void IniFile::save() const {
    const fs::path native = paths::toFileSystemPath(path_.string());
    if (native.empty()) {
        throw Error("Cannot write " + quoted(path_) + ": no such drive",
                    runtimeErrors::pathFileAccessError);
    }
    const fs::path target = writeTarget(native);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // The mode bits count too: the administrator may write anything, but a file
    // that nobody may write is read-only on purpose.
    if (exists && (::access(target.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0)) {
        throw Error("Cannot write " + quoted(path_) + ": the file is read-only",
                    runtimeErrors::pathFileAccessError);
    }
    TemporaryFile temporary(target);
    const bool written = temporary.write(text_) &&
                         (!exists || temporary.keepMode(existing.st_mode & 07777)) &&
                         temporary.finish() && temporary.renameTo(target);
    if (!written) {
        throw Error("Cannot write " + quoted(path_) + ": " + std::strerror(errno),
                    runtimeErrors::pathFileAccessError);
    }
}

std::string IniFile::readKey(const fs::path& file, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
    return load(file).read(section, key, defaultValue);
}

void IniFile::writeKey(const fs::path& file, std::string_view section, std::string_view key,
                       std::string_view value) {
    IniFile ini = load(file);
    if (ini.set(section, key, value)) {
        ini.save();
    }
}

bool IniFile::deleteKey(const fs::path& file, std::string_view section, std::string_view key) {
    IniFile ini = load(file);
    if (!ini.remove(section, key)) {
        return false;
    }
    ini.save();
    return true;
}

} // namespace korvana
