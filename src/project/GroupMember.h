#pragma once

#include <memory>
#include <string>

namespace korvana {

class CKVProject;

// One project of a group. While a group is being created it is only the path
// of the member's Visual Basic project as the group file is to name it; a
// loaded group holds the member's loaded project object.
struct GroupMember {
    std::string designerProject;
    std::shared_ptr<const CKVProject> project;
};

} // namespace korvana
