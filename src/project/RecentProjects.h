#pragma once

#include "platform/Files.h"
#include "platform/Registry.h"
#include "project/RegisteredProject.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// One entry of the recent list as the project-open dialog shows it.
struct RecentProject {
    std::string position; // the value name: "1" is the most recent
    RegisteredProject project;

    bool operator==(const RecentProject&) const = default;
};

// The developer's ten most recently opened projects and groups: string values
// "1" to "10" under "RecentProjects" (HKEY_CURRENT_USER), each "S:" followed by
// a name; "1" is the most recent and a name appears at most once.
class RecentProjects {
  public:
    static constexpr int capacity = 10;

    explicit RecentProjects(Registry& registry) : registry_(registry) {}

    // Puts the name at the top; the other entries follow in their old order
    // without the name (compared without regard to case), cut to ten. Values
    // past the new count are deleted, so that no older entry (a duplicate of a
    // name further up, above all) survives below the list.
    void AddRecentProject(std::string_view name);

    // The entries whose project file exists, by position. An entry without a
    // project file (no registration, a type that names no file, a prefix
    // other than "S:") is deleted from the list. In add mode groups are left
    // out (but kept in the list).
    std::vector<RecentProject> ListRecentProjects(bool addMode);

  private:
    Registry& registry_;
    Files files_;
};

} // namespace korvana
