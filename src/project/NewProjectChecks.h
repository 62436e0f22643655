#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "project/ProjectRegistration.h"
#include "project/ProjectType.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvana {

// What a new project or group is made as; decides which checks its OK runs.
enum class NewProjectMode { Single, Server, Client, Group, ServerClientGroup };

// The mode a template makes: its type, and for a group whether it is a
// Server/Client template. Nothing for a type that has no new-project dialog.
std::optional<NewProjectMode> newProjectMode(ProjectType type, std::string_view templatePath);

// The input a refusal sends the developer back to.
enum class NewProjectField { None, Name, Folder, ServerProject, GroupProjects };

// The checks a new project's name and folder pass before anything is made.
// Each refusal is told to the developer; a folder the checks created stays
// when a later check refuses.
class NewProjectChecks {
  public:
    NewProjectChecks(const Registry& registry, ProjectRegistration& registration, Files& files,
                     MessageService& messages, const TextService& texts);

    // A name a project may have (text 921) and, when a project of that name is
    // registered, the developer's leave to overwrite it (text 390, No by default).
    bool nameMayBeUsed(std::string_view name);
    // The folder exists afterwards (created with its parents, else text 391) and,
    // when it holds a file, the developer accepts that files may be
    // overwritten (text 392, Cancel by default).
    bool folderMayBeUsed(std::string_view folder);

    // The name and folder check of a project group. It runs when the General
    // tab is left and again on OK; a name or folder that passed once is not
    // asked about again.
    bool groupCheck(std::string_view name, std::string_view folder);

    // Every check of OK in its order: name and folder (for a project group its
    // group check), then a client's server project (text 395) or a group's
    // projects (text 396). None when all pass.
    NewProjectField confirm(NewProjectMode mode, std::string_view name, std::string_view folder,
                            std::string_view serverProject, std::size_t groupProjects);

  private:
    const Registry& registry_;
    ProjectRegistration& registration_;
    Files& files_;
    MessageService& messages_;
    const TextService& texts_;
    std::string passedName_;
    std::string passedFolder_;
};

// True when the folder holds at least one file (sub-folders do not count).
bool folderHoldsFiles(std::string_view folder);

} // namespace korvana
