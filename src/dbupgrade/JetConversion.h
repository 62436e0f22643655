#pragma once

#include "db/DebugLog.h"
#include "dbupgrade/VersionRecognition.h"
#include "services/ConfigurationComponent.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <filesystem>
#include <string>
#include <vector>

namespace korvana::dbupgrade {

// Whom the conversion of a project file from Windows asks and tells.
struct JetConversionEnvironment {
    MessageService& messages;
    const TextService& texts;
    db::DebugLog& log;
    ConfigurationComponent& configuration;
};

enum class JetConversionOutcome {
    NotJet,    // a file of our own kind (or none at all): nothing to do
    Converted, // the project file is a project database now
    Declined,  // the user kept the Jet file; nothing was written
    Failed,    // the Jet file cannot be brought over; nothing was written
};

struct JetConversionResult {
    JetConversionOutcome outcome = JetConversionOutcome::NotJet;
    std::string reason;
    // What was left out or changed on the way, by name.
    std::vector<std::string> notes;
    // The layout version read from the schema, which the converted file's
    // settings record, so that the check runs only the steps still missing.
    RecognisedVersion recognised;
};

// A project file brought over from Windows is an Access (Jet) database. This
// offers to make it a project database (text 942, default No). On Yes the Jet
// file stays untouched beside the project as "N.kvs.jet", the first backup of
// the project, and a project database with all its tables and rows takes the
// project file's name in one rename; what could not be brought over is told
// (text 943). The file's settings get the layout version its schema shows.
// A file that cannot be read (text 944), or a "N.kvs.jet" of
// another file already there, leaves everything as it was.
JetConversionResult convertJetProjectFile(const JetConversionEnvironment& environment,
                                          const std::filesystem::path& projectFile);

// The layout version of the Jet file `jetFile`, read from its schema.
RecognisedVersion recogniseJetVersion(const std::filesystem::path& jetFile);

// The name under which the Jet file is kept: the project file + ".jet".
std::filesystem::path keptJetFile(const std::filesystem::path& projectFile);

} // namespace korvana::dbupgrade
