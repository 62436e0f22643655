#pragma once

#include <cstdint>
#include <string_view>

namespace korvana {

// Adapts the names of a freshly copied template tree below `folder`: in every
// file and folder name "%ProjectPath%" becomes `projectPath` and then
// "%ProjectName%" becomes `projectName` (both found without regard to case);
// an entry already holding the new name is replaced, with its content. Files
// whose names begin with "_" (the template's description and icon) are
// deleted. Files are handled before the sub-folders of each folder; symbolic
// links are renamed as links and never followed.
//
// The result is 0, or the run-time error number of the failure that stopped
// the renaming: 76 for a path that vanished, 75 for a refused change, 5 for a
// name that cannot be made because it would hold a separator (a project path
// put into a name).
std::int32_t RenameProjectTree(std::string_view folder, std::string_view projectPath,
                               std::string_view projectName);

} // namespace korvana
