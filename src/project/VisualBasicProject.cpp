#include "project/VisualBasicProject.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/Placeholders.h"
#include "project/ProjectTextFiles.h"
#include "project/TextEncoding.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace korvana {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::array<std::string_view, 3> fileKeys = {"Form", "UserControl", "PropertyPage"};

bool namesAdaptedFile(std::string_view key) {
    return std::any_of(fileKeys.begin(), fileKeys.end(),
                       [&](std::string_view wanted) { return equalsIgnoreCase(key, wanted); });
}

bool climbs(std::string_view relative) {
    const fs::path native(paths::toNative(relative));
    return std::any_of(native.begin(), native.end(),
                       [](const fs::path& part) { return part == ".."; });
}

bool isWithin(const fs::path& path, const fs::path& root) {
    const auto [rootEnd, pathPart] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    (void)pathPart;
    return rootEnd == root.end();
}

} // namespace

std::vector<VisualBasicEntry> readVisualBasicEntries(std::string_view file) {
    const fs::path native = paths::toFileSystemPath(file);
    if (native.empty()) {
        throw Error("No such drive: '" + std::string(file) + "'", runtimeErrors::pathNotFound);
    }
    if (!fs::exists(native)) {
        throw Error("File not found: '" + native.string() + "'", runtimeErrors::fileNotFound);
    }
    return parseVisualBasicEntries(IniFile::load(native).text());
}

std::vector<VisualBasicEntry> parseVisualBasicEntries(std::string_view text) {
    const TextEncoding encoding = detectEncoding(text);
    if (text.starts_with(byteOrderMark)) {
        text.remove_prefix(byteOrderMark.size());
    }
    std::vector<VisualBasicEntry> entries;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        const std::size_t lineBreak = end == std::string_view::npos          ? 0
                                      : text.substr(end).starts_with("\r\n") ? 2
                                                                             : 1;
        text.remove_prefix(line.size() + lineBreak);
        if (const auto equals = line.find('='); equals != std::string_view::npos) {
            entries.push_back({decodeText(trim(line.substr(0, equals)), encoding),
                               decodeText(trim(line.substr(equals + 1)), encoding)});
        }
    }
    return entries;
}

std::optional<std::string> fileNamedBelowFolder(std::string_view folder,
                                                std::string_view relative) {
    if (paths::hasDrivePart(relative) || climbs(relative)) {
        return std::nullopt;
    }
    return paths::joinPath(folder, relative);
}

std::optional<std::string> fileInsideFolder(std::string_view folder, std::string_view relative) {
    const auto named = fileNamedBelowFolder(folder, relative);
    if (!named) {
        return std::nullopt;
    }
    const std::string& file = *named;
    std::error_code fileCode;
    std::error_code folderCode;
    const fs::path resolved = fs::weakly_canonical(paths::toFileSystemPath(file), fileCode);
    const fs::path root = fs::weakly_canonical(paths::toFileSystemPath(folder), folderCode);
    if (fileCode || folderCode || !isWithin(resolved, root) || resolved == root) {
        return std::nullopt;
    }
    return file;
}

void ProcessVisualBasicProject(MessageService& messages, const TextService& texts,
                               std::string_view vbpFile, std::string_view folder,
                               std::string_view projectName) {
    ProjectFolderFiles files(messages, texts);
    ProcessVisualBasicProject(files, vbpFile, folder, projectName);
}

void ProcessVisualBasicProject(ProjectTextFiles& files, std::string_view vbpFile,
                               std::string_view folder, std::string_view projectName) {
    const auto entries = files.entries(vbpFile);
    if (!entries) {
        return;
    }
    for (const auto& entry : *entries) {
        if (!namesAdaptedFile(entry.key)) {
            continue;
        }
        if (const auto file = files.inside(folder, entry.value)) {
            files.replace(*file, placeholders::projectName, projectName);
        }
    }
}

} // namespace korvana
