#pragma once

#include "IdeLayout.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::standin {

// One toolbox tab with the programmatic identifiers of its controls.
struct ToolBoxTab {
    std::int32_t id = 0;
    std::string name;
    std::vector<std::string> controls;

    bool operator==(const ToolBoxTab&) const = default;
};

// What the IDE finds when it starts: its arguments, its toolbox ("Tool"), the
// add-ins it loads ("VBAddIn.ini") and its window layout.
struct IdeSnapshot {
    std::vector<std::string> arguments;
    int version = 6;
    std::vector<ToolBoxTab> tabs;
    std::vector<std::string> addIns;
    IdeLayout layout;
    // Damaged settings, told and otherwise treated as missing, as an IDE
    // that starts anyway would.
    std::vector<std::string> problems;

    // Reads the settings of version 5 or 6 from the registry and the add-in
    // list from the Windows folder.
    static IdeSnapshot read(const Registry& registry, const std::filesystem::path& windowsFolder,
                            int version, std::vector<std::string> arguments);
};

// 5 when the program was started as "VB5.exe" (any case, any folder),
// otherwise 6: the demo installs the stand-in under both names.
int versionFromProgramName(std::string_view programPath);

} // namespace korvana::standin
