#pragma once

#include "platform/Registry.h"

namespace korvana {

// The tabs of the project-open dialog, by their index on the tab strip.
enum class ProjectOpenTab : int {
    New = 0,
    NewKV32 = 1,
    Registered = 2,
    Recent = 3,
    Extended = 4,
};

// What the project-open dialog keeps between runs: the tab it was closed on
// ("ProjectOpenTab", per user) and whether the KV32 template family is offered
// ("KV32", per machine).
class ProjectOpenSettings {
  public:
    explicit ProjectOpenSettings(Registry& registry) : registry_(registry) {}

    // The tab to open on. Only New to Recent are remembered: a dialog closed
    // on the Extended tab, or a value that names no such tab, opens on the
    // Registered tab.
    ProjectOpenTab rememberedTab() const;
    void rememberTab(ProjectOpenTab tab);

    // True when the machine offers the KV32 templates ("KV32" = 1). A machine
    // that has no "KV32" value gets it as 0, so that the switch is there to
    // be turned on.
    bool kv32Offered();

  private:
    Registry& registry_;
};

} // namespace korvana
