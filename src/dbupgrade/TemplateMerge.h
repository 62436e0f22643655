#pragma once

#include "db/Database.h"
#include "db/DebugLog.h"
#include "dbupgrade/GroupEntry.h"
#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"

#include <filesystem>
#include <string>

namespace korvana::dbupgrade {

// What the merge of the template's system texts and fonts needs: where the
// project is registered, its settings (for "ProjectTemplate") and the
// installation folder under which the templates live.
struct MergeEnvironment {
    const Registry& registry;
    ConfigurationComponent& configuration;
    std::filesystem::path installationFolder;
    db::DebugLog& log;
    // Merges as usual, then takes everything back: nothing of the project
    // file is written, not even for a moment (see `TemplateMergeWouldChange`).
    bool rehearsal = false;
    // The database merged into: the database check's working copy of the
    // project file. Empty: the registered project's own file.
    std::filesystem::path workingFile = {};
};

// The template database of the project's template: the file is literally
// named "%ProjectName%.kvs". Nothing when the template name could reach
// another folder.
std::optional<std::filesystem::path> templateDatabaseFile(const MergeEnvironment& environment,
                                                          const std::string& projectName);

// Adds to the project every system text group and system text of the template
// that it lacks, matched by parent and name. Nothing of the project is changed.
// Every failure is skipped and logged; without a system root group in either
// database nothing is added.
// Returns whether anything was added.
bool SyncTemplateTexts(const MergeEnvironment& environment, const std::string& projectName);

// Adds the template's fonts and font classes that the project lacks, matched
// by name; the font references of an added class are translated to the
// project's font IDs.
// Returns whether anything was added.
bool SyncTemplateFonts(const MergeEnvironment& environment, const std::string& projectName);

// Whether the merge would add anything to the project, or fail somewhere; the
// project file is only read.
bool TemplateMergeWouldChange(const MergeEnvironment& environment, const std::string& projectName);

// Copies, depth first, the template groups below `parent` that the project
// lacks and records every matched group in `map`. `projectGroups` has its index
// "PIDName" selected.
void CopyTemplateGroups(GroupIdMap& map, const CGroupEntry& parent, db::Database& templateDb,
                        db::Recordset& templateGroups, db::Recordset& projectGroups,
                        db::DebugLog& log);

} // namespace korvana::dbupgrade
