#include "project/ReplaceInFile.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "project/FileErrors.h"
#include "project/FileReplacement.h"
#include "project/Placeholders.h"
#include "project/TextEncoding.h"
#include "text/Messages.h"

#include <filesystem>
#include <string>

namespace korvana {

namespace fs = std::filesystem;

namespace {

constexpr TextId fileNotAdapted{910};
constexpr std::string_view windowsLineBreak = "\r\n";

// The line break the file already uses; the IDE's own when it has none.
std::string_view lineBreakOf(std::string_view text) {
    const auto newline = text.find('\n');
    if (newline == std::string_view::npos) {
        return windowsLineBreak;
    }
    return newline > 0 && text[newline - 1] == '\r' ? windowsLineBreak : "\n";
}

std::string encoded(std::string_view utf8, TextEncoding encoding, const fs::path& file) {
    auto text = encodeText(utf8, encoding);
    if (!text) {
        throw Error("'" + std::string(utf8) + "' cannot be written in the Windows-1252 text of '" +
                        file.string() + "'",
                    runtimeErrors::invalidProcedureCall);
    }
    return std::move(*text);
}

void replaceIn(std::string_view file, std::string_view search, std::string_view replacement) {
    const fs::path native = paths::toFileSystemPath(file);
    if (native.empty()) {
        throw Error("No such drive: '" + std::string(file) + "'", runtimeErrors::pathNotFound);
    }
    std::error_code code;
    const auto status = fs::symlink_status(native, code);
    if (code) {
        throw fileError("Cannot read", native, code);
    }
    // A link may lead anywhere, out of the project above all: it is never
    // written through.
    if (fs::is_symlink(status)) {
        throw Error("'" + native.string() + "' is a symbolic link",
                    runtimeErrors::pathFileAccessError);
    }
    if (!fs::is_regular_file(status)) {
        throw Error("'" + native.string() + "' is not a file", runtimeErrors::fileNotFound);
    }
    // The INI reader refuses what is not text, so binary data is never edited.
    const std::string text = IniFile::load(native).text();
    const std::string changed = replacedText(text, search, replacement, native);
    if (changed != text) {
        replaceFileContent(native, changed);
    }
}

} // namespace

std::string replacedText(std::string_view text, std::string_view search,
                         std::string_view replacement, const fs::path& file) {
    const TextEncoding encoding = detectEncoding(text);
    std::string wanted(replacement);
    if (const auto lineBreak = lineBreakOf(text); lineBreak != windowsLineBreak) {
        wanted = replaceIgnoringCase(wanted, windowsLineBreak, lineBreak);
    }
    return replaceIgnoringCase(text, encoded(search, encoding, file),
                               encoded(wanted, encoding, file));
}

void ReportFileNotAdapted(MessageService& messages, const TextService& texts, int number,
                          std::string_view description, std::string_view file) {
    ShowMessage(messages, texts, fileNotAdapted, MessageStyle::critical(),
                {number, description, file});
}

bool ReplaceInFile(MessageService& messages, const TextService& texts, std::string_view file,
                   std::string_view search, std::string_view replacement) {
    try {
        replaceIn(file, search, replacement);
        return true;
    } catch (const Error& error) {
        ReportFileNotAdapted(messages, texts, error.number(), error.what(), file);
    } catch (const fs::filesystem_error& error) {
        const Error reported = fileError(error);
        ReportFileNotAdapted(messages, texts, reported.number(), reported.what(), file);
    }
    return false;
}

} // namespace korvana
