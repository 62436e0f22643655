#pragma once

#include "platform/Files.h"
#include "platform/Paths.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::test {

// File operations that treat a scratch folder as the root of the drive: every
// path, absolute or relative, is taken below it. Tests can so follow
// root-relative defaults such as "\KorvanaStudio\Projects" without touching the
// machine's real root, see which folders were asked for, and make folder
// creation fail.
class ConfinedFiles : public Files {
  public:
    explicit ConfinedFiles(std::filesystem::path root) : root_(std::move(root)) {}

    // Where a path really lies. Empty and Windows drive paths stay as they are:
    // they name nothing.
    std::string confined(std::string_view path) const {
        if (path.empty() || paths::isWindowsDrivePath(path)) {
            return std::string(path);
        }
        return paths::joinPath(root_.string(), path);
    }

    bool fileExists(std::string_view path) const override {
        return Files::fileExists(confined(path));
    }
    bool folderExists(std::string_view path) const override {
        return Files::folderExists(confined(path));
    }
    bool createFolder(std::string_view path) override {
        createRequests.emplace_back(path);
        return !failCreateFolder && Files::createFolder(confined(path));
    }
    bool silentCopy(std::string_view source, std::string_view destination) override {
        return Files::silentCopy(confined(source), confined(destination));
    }

    bool failCreateFolder = false;
    std::vector<std::string> createRequests;

  private:
    std::filesystem::path root_;
};

} // namespace korvana::test
