#pragma once

#include <filesystem>
#include <string_view>

namespace korvana {

// Replaces the content of an existing file: the new content goes to a
// temporary file in the same folder, which takes the old file's permissions and
// is renamed over it, so that the file is always either wholly old or wholly
// new and a failure leaves no temporary file behind. A file that nobody may
// write is refused, for the administrator too.
//
// Unlike settings and hives, a new project's files are not synced one by one:
// a project has hundreds of them and is created anew if the machine fails
// during its creation, while the rename still keeps every file whole.
void replaceFileContent(const std::filesystem::path& file, std::string_view content);

// Whether replaceFileContent would be allowed to write `file`: the file may be
// written, and so may its folder, which receives the temporary file.
bool canReplaceContent(const std::filesystem::path& file);

// Writes a new content over a file of a staged template, in place: nobody
// else sees the staged copy, and a staged file that cannot be written whole is
// given back its old content by the caller or discarded with the copy, so the
// temporary file (a new inode, costly on ext4) and the rename are not needed.
// Raises korvana::Error naming the file.
void overwriteStagedFile(const std::filesystem::path& file, std::string_view content);

// The whole content of a file of a staged template, read without a stream:
// for hundreds of small forms the stream's setting up costs more than the
// reading. Raises korvana::Error naming the file.
std::string readStagedFile(const std::filesystem::path& file);

} // namespace korvana
