#include "project/GroupFileReader.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace korvana {

namespace {

// Group files list a handful of projects; anything this large is not one.
constexpr std::uintmax_t largestGroupFile = 16u * 1024u * 1024u;

std::string readGroupText(std::string_view groupFile) {
    const auto native = paths::toFileSystemPath(groupFile);
    std::error_code error;
    if (native.empty() || !std::filesystem::is_regular_file(native, error)) {
        throw Error("The group file '" + std::string(groupFile) + "' does not exist",
                    runtimeErrors::fileNotFound);
    }
    const auto size = std::filesystem::file_size(native, error);
    if (error || size > largestGroupFile) {
        throw Error("The group file '" + std::string(groupFile) +
                        "' is not a text file (it is larger than 16 MiB)",
                    runtimeErrors::invalidProcedureCall);
    }
    std::ifstream in(native, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        throw Error("The group file '" + std::string(groupFile) + "' cannot be read",
                    runtimeErrors::fileNotFound);
    }
    return text;
}

} // namespace

std::vector<std::string> GroupFileReader::memberEntries(std::string_view groupFile) {
    return memberEntriesOfText(readGroupText(groupFile), groupFile);
}

std::vector<std::string> GroupFileReader::memberEntriesOfText(std::string_view text,
                                                              std::string_view groupFile) {
    const char* const start = text.data();
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    if (text.empty()) {
        throw Error("The group file '" + std::string(groupFile) + "' is empty",
                    runtimeErrors::inputPastEndOfFile);
    }
    if (const auto zero = text.find('\0'); zero != std::string_view::npos) {
        throw Error("The group file '" + std::string(groupFile) +
                        "' is not a text file (a zero byte at byte offset " +
                        std::to_string(zero + static_cast<std::size_t>(text.data() - start)) + ")",
                    runtimeErrors::invalidProcedureCall);
    }
    std::vector<std::string> entries;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + begin, end - begin);
        if (const auto equals = line.find('='); equals != std::string_view::npos) {
            const auto entry = trim(line.substr(equals + 1));
            if (!entry.empty()) {
                entries.emplace_back(entry);
            }
        }
        // CRLF counts as one line end.
        begin = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);
    }
    return entries;
}

std::string GroupFileReader::memberPath(std::string_view entry, std::string_view groupFolder) {
    const std::string absolute = paths::makeAbsolute(entry, groupFolder);
    if (paths::isWindowsDrivePath(absolute)) {
        return absolute;
    }
    return std::filesystem::path(absolute).lexically_normal().string();
}

GroupFileReader::Members GroupFileReader::members(std::string_view groupFile,
                                                  std::string_view groupFolder) {
    Members result;
    for (auto& entry : memberEntries(groupFile)) {
        std::string file = memberPath(entry, groupFolder);
        const auto native = paths::toFileSystemPath(file);
        std::error_code error;
        if (native.empty() || !std::filesystem::is_regular_file(native, error)) {
            result.passedOver.push_back(std::move(entry));
            continue;
        }
        std::string projectName = IniFile::readKey(native, "Korvana4", "ProjectName");
        if (!projectName.empty()) {
            result.projects.push_back({std::move(entry), std::move(file), std::move(projectName)});
        }
    }
    return result;
}

} // namespace korvana
