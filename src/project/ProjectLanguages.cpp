#include "project/ProjectLanguages.h"

#include "db/Database.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/KVProject.h"
#include "project/SystemLanguages.h"
#include "services/OpenProjectSettings.h"
#include "services/ResolveProjectFile.h"

#include <charconv>
#include <optional>

namespace korvana {

namespace {

// The LCID of a language column ("L1031"); nothing for other columns. Only
// digits may follow the "L": "L1031x" would give a second "L1031".
std::optional<Lcid> columnLanguage(std::string_view column) {
    if (column.size() < 2 || asciiLower(column.front()) != 'l') {
        return std::nullopt;
    }
    const auto digits = column.substr(1);
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size() || number <= 0 ||
        digits.front() == '+') {
        return std::nullopt;
    }
    return Lcid{number};
}

std::string projectFileOf(const Registry& registry, std::string_view project) {
    if (!paths::extension(project).empty()) {
        return std::string(project);
    }
    return resolveProjectFile(registry, project).string();
}

// Fills `list` as far as it gets; raises on the first failure.
void fill(LanguageList& list, const Registry& registry, ConfigurationComponent& settings,
          std::string_view project, Lcid userInterfaceLanguage) {
    const std::string file = projectFileOf(registry, project);
    OpenProjectSettings projectSettings(settings, project);
    auto database = db::Database::open(paths::toNative(file));
    for (const auto& field : database.tableDef("TidxTexts").fields) {
        const auto language = columnLanguage(field.name);
        if (!language) {
            continue;
        }
        list.rows.push_back(languageRow(*language, userInterfaceLanguage));
    }
    const auto developer = settingNumber(projectSettings.value("Global", "LCID", std::int32_t{0}));
    for (auto& row : list.rows) {
        row.checked = developer && row.key == "L" + std::to_string(*developer);
    }
}

} // namespace

LanguageList ListProjectLanguages(const Registry& registry, ConfigurationComponent& settings,
                                  std::string_view project, Lcid userInterfaceLanguage) {
    LanguageList list;
    try {
        fill(list, registry, settings, project, userInterfaceLanguage);
    } catch (const std::exception& error) {
        list.problem = error.what();
    }
    return list;
}

} // namespace korvana
