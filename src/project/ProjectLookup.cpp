#include "project/ProjectLookup.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "text/Messages.h"

namespace korvana {

namespace {

constexpr TextId fileNotInRegisteredFolder{906};
constexpr TextId fileMissing{913};
constexpr TextId notRegisteredText{907};
constexpr TextId moveRegistrationQuestion{908};

// Folders compare as Windows compares them: without regard to case, and a
// trailing separator or the other separator does not make a folder different.
std::string comparableFolder(std::string_view folder) {
    std::string text = paths::toNative(folder);
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

} // namespace

ProjectLookup::ProjectLookup(const Registry& registry, MessageService& messages,
                             const TextService& texts)
    : registry_(registry), messages_(messages), texts_(texts) {}

std::string ProjectLookup::RegisteredPath(std::string_view name) const {
    const auto project = readRegistration(registry_, name);
    return project ? project->path : std::string();
}

std::optional<RegisteredProject> ProjectLookup::FindByName(std::string_view name) {
    const auto project = readRegistration(registry_, name);
    if (!project || project->path.empty()) {
        ShowMessage(messages_, texts_, notRegisteredText, MessageStyle::exclamation(), {name});
        return std::nullopt;
    }
    // A group opens from its group file; every other name from its project file.
    const std::string file = registeredProjectFile(*project);
    if (!files_.fileExists(file)) {
        if (project->type == ProjectType::Group) {
            ShowMessage(messages_, texts_, fileMissing, MessageStyle::exclamation(), {file});
        } else {
            ShowMessage(messages_, texts_, fileNotInRegisteredFolder, MessageStyle::exclamation(),
                        {project->name, project->path});
        }
        return std::nullopt;
    }
    return project;
}

bool ProjectLookup::ConfirmFolder(std::string_view name, std::string_view registeredPath,
                                  std::string_view folder) {
    if (registeredPath.empty() ||
        equalsIgnoreCase(comparableFolder(registeredPath), comparableFolder(folder))) {
        return true;
    }
    return ShowMessage(messages_, texts_, moveRegistrationQuestion, MessageStyle::question(),
                       {name, registeredPath, folder}) == Answer::Yes;
}

} // namespace korvana
