#include "project/FoundProjectFile.h"

#include "platform/Paths.h"
#include "text/Messages.h"

namespace korvana {

namespace {

constexpr TextId unknownFileType{912};

} // namespace

std::optional<FoundProject> RegisterFoundProject(ProjectRegistration& registration,
                                                 MessageService& messages, const TextService& texts,
                                                 std::string_view file) {
    const std::string folder = paths::parentFolder(file);
    const std::string name = paths::baseName(file);
    // Compared exactly, as on the command line: "Plant.KVS" is no project file.
    const std::string extension = paths::extension(file);
    if (extension == "kvs") {
        if (!registration.RegisterProject(folder, name)) {
            return std::nullopt;
        }
        return FoundProject{ProjectOpen::OpenProject, name};
    }
    if (extension == "vbg") {
        if (!registration.RegisterGroup(folder, name)) {
            return std::nullopt;
        }
        return FoundProject{ProjectOpen::OpenGroup, name};
    }
    ShowMessage(messages, texts, unknownFileType, MessageStyle::exclamation(), {std::string(file)});
    return std::nullopt;
}

} // namespace korvana
