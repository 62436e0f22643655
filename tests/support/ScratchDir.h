#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away. Tests use it as their system root.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const {
        return path_ / relative;
    }

  private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, std::string_view content);
std::string readFile(const std::filesystem::path& path);
// The names of what a folder holds, sorted.
std::vector<std::string> fileNamesIn(const std::filesystem::path& folder);

} // namespace korvana::test
