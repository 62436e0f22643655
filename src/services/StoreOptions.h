#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "services/InstallationSettings.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <string>

namespace korvana {

// What the developer entered in the options dialog.
struct OptionsChoice {
    std::string projectsFolder;
    std::string templatesFolder;
    bool keepInterface = false;
};

// Where OK of the options dialog ended: everything stored, or the field the
// developer has to change (the dialog stays open with the focus on it).
enum class OptionsOutcome { Stored, ReviseProjectsFolder, ReviseTemplatesFolder };

// What storing the options works with; the settings are the process-wide ones.
struct OptionsStore {
    Registry& registry;
    Files& files;
    MessageService& messages;
    const TextService& texts;
    InstallationSettings& settings;
};

// OK of the options dialog. Each folder is created with its parents, checked
// against the installation folder, written to the developer's key and made
// current, the projects folder first: a refused templates folder leaves the new
// projects folder stored. The keep-interface flag is set only when both folders
// were stored. Every refusal and hint is shown through `store.messages`; a
// registry write that fails is reported and leaves that folder as it was.
OptionsOutcome StoreOptions(const OptionsChoice& choice, const OptionsStore& store);

} // namespace korvana
