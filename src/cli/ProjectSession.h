#pragma once

#include "cli/CliContext.h"
#include "project/ProjectRegistration.h"
#include "project/ProjectServices.h"
#include "services/ConfigurationComponent.h"
#include "services/InstallationSettings.h"
#include "text/ConsoleMessageService.h"
#include "text/TextService.h"

#include <optional>
#include <string_view>

namespace korvana::cli {

// What the project commands talk to: the console for messages and questions,
// the texts in the installation's language (or the one the command names),
// the settings store and the registration with its read-only check.
class ProjectSession {
  public:
    ProjectSession(CliContext& context, std::optional<Answer> forced, Lcid language = Lcid{0})
        : messages(forced), texts(language.value > 0 ? language : installationLanguage(context)),
          configuration(context.registry()),
          registration(context.registry(), configuration, messages, texts),
          services(registration.loadingServices()) {}
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    // The user-interface language of the installation (German when unset).
    static Lcid installationLanguage(CliContext& context) {
        return Lcid{context.registry().readNumber(Hive::LocalMachine, keys::installation, "LCID",
                                                  germanLanguage.value)};
    }

    ConsoleMessageService messages;
    TextService texts;
    ConfigurationComponent configuration;
    ProjectRegistration registration;
    ProjectServices services;
};

} // namespace korvana::cli
