#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Path texts as the studio stores them. Project files, group files, the
// registry and the installation's own folder names use Windows-style paths
// ("\Templates\Projects"), while the folders themselves live on Linux. Every
// function here accepts both '\' and '/' as separators, so a backslash cannot
// be part of a file name. The functions are pure text operations; only
// Files touches the file system.
namespace korvana::paths {

bool isSeparator(char c);

// The text after the last separator (a folder or file name); the whole text
// when there is none.
std::string lastComponent(std::string_view path);

// The text before the last separator, without trailing separators; empty when
// there is no separator.
std::string parentFolder(std::string_view path);

// The file name without folder and extension ("C:\P\Demo.kvs" -> "Demo").
std::string baseName(std::string_view path);

// The characters after the last dot of the file name, without the dot; empty
// when the name has no dot. A dot in a folder name does not count.
std::string extension(std::string_view path);

// True for a path that must not be resolved against a base folder: one that
// starts with a separator (absolute here; "\\server\share" too) or with a
// Windows drive ("C:" alone or followed by a separator). A drive path keeps its
// meaning in stored data but names nothing on this system (see
// isWindowsDrivePath).
bool hasDrivePart(std::string_view path);

// "C:", "C:\..." and "C:/...": stored Windows paths that cannot be reached here.
bool isWindowsDrivePath(std::string_view path);

// The path with every '\' turned into '/'.
std::string toNative(std::string_view path);

// The base followed by the suffix with exactly one '/' between them, in native
// form: joinPath("/opt/korvana", "\Templates\Projects") gives
// "/opt/korvana/Templates/Projects". An empty base keeps the suffix as it is,
// so a missing base folder gives a root-relative path, as plain concatenation
// does on Windows.
std::string joinPath(std::string_view base, std::string_view suffix);

// The path itself (native) when it has a drive part, otherwise the path joined
// to the base folder. ".." components are kept; the file system resolves them.
std::string makeAbsolute(std::string_view path, std::string_view baseFolder);

// A single name that may safely become one component of a path built by the
// caller: not empty, not "." or "..", and without separators or NUL bytes.
// Callers that put project, template or file names into paths check them first
// so that a name can never lead out of the folder it belongs in.
bool isSafeName(std::string_view name);

// The stored path as a file-system path. Empty for a Windows drive path, which
// names nothing here (the caller treats it as missing).
std::filesystem::path toFileSystemPath(std::string_view path);

} // namespace korvana::paths
