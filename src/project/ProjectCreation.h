#pragma once

#include "db/SettingValue.h"
#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <functional>
#include <string>

namespace korvana {

// The developer's local time now, as "DateCreated" records it.
SettingDate localTimeNow();

// What creating a project from a template needs from the rest of the program,
// handed in rather than reached through globals. The clock stamps the new
// project's creation date; tests give a fixed one.
struct ProjectCreation {
    Registry& registry;
    ConfigurationComponent& configuration;
    MessageService& messages;
    const TextService& texts;
    // The version of this installation, recorded as the project's creator.
    std::string installedVersion;
    std::function<SettingDate()> now = localTimeNow;
};

} // namespace korvana
