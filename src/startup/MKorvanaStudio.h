#pragma once

#include "project/KVProject.h"
#include "startup/CommandLine.h"
#include "startup/StartupContext.h"
#include "startup/StartupHost.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <string>
#include <string_view>

namespace korvana {

// Exit codes of the program: a run ends with 0, also after a message that
// ends it; only a registration from the command line that fails gives 1.
inline constexpr int exitNormal = 0;
inline constexpr int exitRegistrationFailed = 1;

// Removes an opening double quote and then a closing one. A closing quote
// alone stays: "\"a\"" gives "a", "\"a" gives "a", "a\"" stays "a\"".
std::string StripQuotes(std::string_view text);

// Lets the user create a project from the template in project.TemplatePath
// through the new-project dialog of its type ("ProjectType" in the template's
// "_Info.ini"). A template of a type that has no new-project dialog (terminal
// server and client, unknown or missing type) is reported and EProjectOpen
// becomes Nothing, so that the caller goes back to choosing as after Cancel.
void ShowNewProjectDialog(CKVProject& project, StartupHost& host,
                          const ProjectDialogServices& services, MessageService& messages,
                          const TextService& texts);

// The whole run of the program: shows the windows, loads the settings, creates
// the configuration component and the launcher, finds the project the
// developer wants (command line or project-open dialog), checks its database,
// records it as the most recent project and runs the IDE on it. Returns the
// exit code of the process.
int Main(std::string_view commandLine, StartupContext& context);

} // namespace korvana
