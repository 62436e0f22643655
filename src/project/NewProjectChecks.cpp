#include "project/NewProjectChecks.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/RegisteredProject.h"
#include "project/ServerClientTemplate.h"
#include "text/Messages.h"

#include <filesystem>
#include <system_error>

namespace korvana {

namespace {

constexpr TextId projectExists{390};
constexpr TextId folderNotCreated{391};
constexpr TextId folderNotEmpty{392};
constexpr TextId serverProjectMissing{395};
constexpr TextId groupWithoutProjects{396};

} // namespace

std::optional<NewProjectMode> newProjectMode(ProjectType type, std::string_view templatePath) {
    switch (type) {
    case ProjectType::Single:
        return NewProjectMode::Single;
    case ProjectType::Server:
        return NewProjectMode::Server;
    case ProjectType::Client:
        return NewProjectMode::Client;
    case ProjectType::Group:
        return ServerClientTemplate::of(templatePath, type) ? NewProjectMode::ServerClientGroup
                                                            : NewProjectMode::Group;
    default:
        return std::nullopt;
    }
}

bool folderHoldsFiles(std::string_view folder) {
    const auto native = paths::toFileSystemPath(folder);
    std::error_code error;
    if (native.empty()) {
        return false;
    }
    for (std::filesystem::directory_iterator entry(native, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->is_regular_file(error)) {
            return true;
        }
    }
    return false;
}

NewProjectChecks::NewProjectChecks(const Registry& registry, ProjectRegistration& registration,
                                   Files& files, MessageService& messages, const TextService& texts)
    : registry_(registry), registration_(registration), files_(files), messages_(messages),
      texts_(texts) {}

bool NewProjectChecks::nameMayBeUsed(std::string_view name) {
    if (!registration_.CheckProjectName(name)) {
        return false;
    }
    const auto registered = readRegistration(registry_, name);
    if (!registered || registered->path.empty()) {
        return true;
    }
    return ShowMessage(messages_, texts_, projectExists, MessageStyle::overwriteQuestion(),
                       {std::string(name)}) == Answer::Yes;
}

bool NewProjectChecks::folderMayBeUsed(std::string_view folder) {
    if (folder.empty() || !files_.createFolder(folder)) {
        ShowMessage(messages_, texts_, folderNotCreated, MessageStyle::exclamation(),
                    {std::string(folder)});
        return false;
    }
    if (!folderHoldsFiles(folder)) {
        return true;
    }
    return ShowMessage(messages_, texts_, folderNotEmpty, MessageStyle::warning(),
                       {std::string(folder)}) == Answer::Ok;
}

bool NewProjectChecks::groupCheck(std::string_view name, std::string_view folder) {
    if (!equalsIgnoreCase(name, passedName_) && !nameMayBeUsed(name)) {
        return false;
    }
    if (!equalsIgnoreCase(folder, passedFolder_) && !folderMayBeUsed(folder)) {
        return false;
    }
    passedName_ = std::string(name);
    passedFolder_ = std::string(folder);
    return true;
}

NewProjectField NewProjectChecks::confirm(NewProjectMode mode, std::string_view name,
                                          std::string_view folder, std::string_view serverProject,
                                          std::size_t groupProjects) {
    if (mode == NewProjectMode::Group) {
        if (!groupCheck(name, folder)) {
            return NewProjectField::Name;
        }
        if (groupProjects == 0) {
            ShowMessage(messages_, texts_, groupWithoutProjects, MessageStyle::exclamation());
            return NewProjectField::GroupProjects;
        }
        return NewProjectField::None;
    }
    if (!nameMayBeUsed(name)) {
        return NewProjectField::Name;
    }
    if (!folderMayBeUsed(folder)) {
        return NewProjectField::Folder;
    }
    if (mode == NewProjectMode::Client && serverProject.empty()) {
        ShowMessage(messages_, texts_, serverProjectMissing, MessageStyle::exclamation());
        return NewProjectField::ServerProject;
    }
    return NewProjectField::None;
}

} // namespace korvana
