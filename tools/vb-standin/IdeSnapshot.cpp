#include "IdeSnapshot.h"

#include "ide/BinaryValue.h"
#include "ide/IdeKeys.h"
#include "ide/ToolBoxRecords.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <exception>

namespace korvana::standin {

namespace {

std::vector<ToolBoxTab> readToolBox(const Registry& registry, int version,
                                    std::vector<std::string>& problems) {
    const auto setting =
        ide::readBinaryValue(registry, ide::visualBasicUserKey(version), ide::keys::toolValue);
    if (!setting) {
        return {};
    }
    const auto records = ide::parseToolBox(*setting);
    if (!records) {
        problems.push_back("The toolbox setting \"Tool\" is damaged; the toolbox is empty.");
        return {};
    }
    std::vector<ToolBoxTab> tabs;
    for (const auto& group : records->groups) {
        tabs.push_back({group.TabID, group.Name, {}});
    }
    for (const auto& control : records->controls) {
        const auto tab = std::find_if(tabs.begin(), tabs.end(),
                                      [&](const ToolBoxTab& t) { return t.id == control.TabID; });
        if (tab == tabs.end()) {
            problems.push_back("The control \"" + control.Name + "\" is on tab " +
                               std::to_string(control.TabID) + ", which does not exist.");
        } else {
            tab->controls.push_back(control.Name);
        }
    }
    return tabs;
}

// The key names of a section in file order, each once. IniFile answers for a
// known key only, so the names are gathered here and their values are then
// read through IniFile with the same matching rules as the studio's.
std::vector<std::string> keyNames(std::string_view text, std::string_view section) {
    std::vector<std::string> names;
    bool inSection = false;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = trim(text.substr(begin, end - begin));
        begin = end + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inSection = close != std::string_view::npos &&
                        equalsIgnoreCase(trim(line.substr(1, close - 1)), section);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view name = trim(line.substr(0, equals));
        const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& seen) {
            return equalsIgnoreCase(seen, name);
        });
        if (!name.empty() && !known) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::vector<std::string> readAddIns(const std::filesystem::path& windowsFolder,
                                    std::vector<std::string>& problems) {
    std::vector<std::string> enabled;
    try {
        const IniFile file = IniFile::load(windowsFolder / ide::keys::addInFile);
        for (const std::string& name : keyNames(file.text(), ide::keys::addInSection)) {
            if (trim(file.read(ide::keys::addInSection, name)) == "1") {
                enabled.push_back(name);
            }
        }
    } catch (const std::exception& error) {
        problems.push_back(std::string("The add-in list cannot be read: ") + error.what());
    }
    return enabled;
}

} // namespace

IdeSnapshot IdeSnapshot::read(const Registry& registry, const std::filesystem::path& windowsFolder,
                              int version, std::vector<std::string> arguments) {
    IdeSnapshot snapshot;
    snapshot.arguments = std::move(arguments);
    snapshot.version = version;
    snapshot.tabs = readToolBox(registry, version, snapshot.problems);
    snapshot.addIns = readAddIns(windowsFolder, snapshot.problems);
    snapshot.layout = IdeLayout::read(registry, version);
    return snapshot;
}

int versionFromProgramName(std::string_view programPath) {
    return equalsIgnoreCase(paths::lastComponent(programPath), ide::keys::vb5Executable) ? 5 : 6;
}

} // namespace korvana::standin
