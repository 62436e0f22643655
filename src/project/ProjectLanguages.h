#pragma once

#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"
#include "text/TextTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// One language of a project as the new-project dialog lists it.
struct LanguageRow {
    std::string key;      // "L" followed by the LCID
    std::string text;     // the LCID right-aligned in five characters
    std::string name;     // the language's name in the user-interface language
    bool bold = false;    // German and English, the studio's own languages
    bool checked = false; // the developer language
    bool operator==(const LanguageRow&) const = default;
};

struct LanguageList {
    std::vector<LanguageRow> rows;
    // Why the list ends early (a missing project or text table); empty when
    // the list is complete. The dialog shows what could be listed either way.
    std::string problem;
};

// The languages of a project: the language columns ("L" and the LCID) of its
// text table "TidxTexts", the developer language ("Global"/"LCID") checked.
// `project` is a registered name or the path of a project file (a template's
// "%ProjectName%.kvs"). Never raises: a failure ends the list where it stands.
LanguageList ListProjectLanguages(const Registry& registry, ConfigurationComponent& settings,
                                  std::string_view project, Lcid userInterfaceLanguage);

} // namespace korvana
