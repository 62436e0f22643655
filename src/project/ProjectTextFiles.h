#pragma once

#include "project/VisualBasicProject.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// The Visual Basic files of a project being created, as the steps that put
// the project's name into them see them: always named by their paths in the
// project folder, wherever they are edited.
class ProjectTextFiles {
  public:
    virtual ~ProjectTextFiles() = default;

    // Replaces `search` in `file` as ReplaceInFile does.
    virtual void replace(std::string_view file, std::string_view search,
                         std::string_view replacement) = 0;
    // The "key=value" lines of a project or group file; nothing when it cannot
    // be read.
    virtual std::optional<std::vector<VisualBasicEntry>> entries(std::string_view file) = 0;
    // The file that `relative` names below `folder` (see fileInsideFolder);
    // nothing when it lies outside.
    virtual std::optional<std::string> inside(std::string_view folder,
                                              std::string_view relative) = 0;
};

// The files in the project folder itself: every failure, and every file named
// outside the folder, is told with text 910 and the file left alone.
class ProjectFolderFiles : public ProjectTextFiles {
  public:
    ProjectFolderFiles(MessageService& messages, const TextService& texts)
        : messages_(messages), texts_(texts) {}

    void replace(std::string_view file, std::string_view search,
                 std::string_view replacement) override;
    std::optional<std::vector<VisualBasicEntry>> entries(std::string_view file) override;
    std::optional<std::string> inside(std::string_view folder, std::string_view relative) override;

  private:
    MessageService& messages_;
    const TextService& texts_;
};

} // namespace korvana
