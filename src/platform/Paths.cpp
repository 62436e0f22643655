#include "platform/Paths.h"

#include <algorithm>

namespace korvana::paths {

namespace {

std::string_view::size_type lastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string lastComponent(std::string_view path) {
    const auto at = lastSeparator(path);
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string parentFolder(std::string_view path) {
    const auto at = lastSeparator(path);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view parent = path.substr(0, at);
    while (!parent.empty() && isSeparator(parent.back())) {
        parent.remove_suffix(1);
    }
    return std::string(parent);
}

std::string baseName(std::string_view path) {
    std::string name = lastComponent(path);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.resize(dot);
    }
    return name;
}

std::string extension(std::string_view path) {
    const std::string name = lastComponent(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool isWindowsDrivePath(std::string_view path) {
    return path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':' &&
           (path.size() == 2 || isSeparator(path[2]));
}

bool hasDrivePart(std::string_view path) {
    return (!path.empty() && isSeparator(path.front())) || isWindowsDrivePath(path);
}

std::string toNative(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string joinPath(std::string_view base, std::string_view suffix) {
    if (base.empty()) {
        return toNative(suffix);
    }
    while (base.size() > 1 && isSeparator(base.back())) {
        base.remove_suffix(1);
    }
    while (!suffix.empty() && isSeparator(suffix.front())) {
        suffix.remove_prefix(1);
    }
    if (suffix.empty()) {
        return toNative(base);
    }
    std::string result = toNative(base);
    if (!isSeparator(result.back())) {
        result += '/';
    }
    result += toNative(suffix);
    return result;
}

std::string makeAbsolute(std::string_view path, std::string_view baseFolder) {
    if (hasDrivePart(path)) {
        return toNative(path);
    }
    return joinPath(baseFolder, path);
}

bool isSafeName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

std::filesystem::path toFileSystemPath(std::string_view path) {
    if (isWindowsDrivePath(path)) {
        return {};
    }
    return std::filesystem::path(toNative(path));
}

} // namespace korvana::paths
