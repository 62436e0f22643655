#pragma once

#include "project/KVProject.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace korvana {

// The start-up's view of the Visual Basic launcher: the program wraps the real
// one in it, tests put a recorder in its place.
class Launcher {
  public:
    virtual ~Launcher() = default;

    // 6 or 5 for the newest installed Visual Basic, 0 when none was found (the
    // launcher has then told the user).
    virtual std::int16_t VBVersion() const = 0;
    // Prepares the IDE, runs it on the project and returns when it has ended.
    virtual void Start(CKVProject& project) = 0;
};

// Creates the launcher. `releaseConfiguration` lets it release the
// configuration component before the IDE starts, so that the IDE finds the
// studio's components free; the start-up does not use the component after
// handing the project to the launcher.
using LauncherFactory =
    std::function<std::unique_ptr<Launcher>(std::function<void()> releaseConfiguration)>;

} // namespace korvana
