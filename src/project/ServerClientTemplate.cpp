#include "project/ServerClientTemplate.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"

namespace korvana {

namespace {

constexpr std::string_view marker = "Server-Client";

} // namespace

std::optional<ServerClientTemplate> ServerClientTemplate::of(std::string_view templateFolder,
                                                             ProjectType type) {
    const std::string folderName = paths::lastComponent(templateFolder);
    if (type != ProjectType::Group || !startsWithIgnoreCase(folderName, marker)) {
        return std::nullopt;
    }
    ServerClientTemplate result;
    result.suffix = folderName.substr(marker.size());
    result.serverFolder = paths::joinPath(templateFolder, "Server" + result.suffix);
    result.clientFolder = paths::joinPath(templateFolder, "Client" + result.suffix);
    return result;
}

} // namespace korvana
