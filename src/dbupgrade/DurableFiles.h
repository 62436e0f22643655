#pragma once

#include <filesystem>
#include <string_view>

namespace korvana::dbupgrade {

std::filesystem::path withSuffix(const std::filesystem::path& file, std::string_view suffix);

// Makes the file's content (or a folder's entries) durable before we build on
// it: a rename is only as safe as the data it points at.
void syncToDisk(const std::filesystem::path& path, bool folder);

// Replaces `target` by `source` in one rename, so that `target` always names
// a whole file: the old one or the new one.
void replaceAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

// Copies `source` over `target` through `target` + ".tmp", so that a crash
// while copying never costs what `target` held before.
void copyAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace korvana::dbupgrade
