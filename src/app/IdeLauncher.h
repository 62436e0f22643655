#pragma once

#include "ide/VB.h"
#include "startup/Launcher.h"

namespace korvana::app {

// The Visual Basic launcher as the start-up uses it.
class IdeLauncher : public Launcher {
  public:
    explicit IdeLauncher(ide::IdeEnvironment environment) : vb_(std::move(environment)) {}

    std::int16_t VBVersion() const override { return vb_.VBVersion; }
    // The launcher tells the developer itself why a run did not happen.
    void Start(CKVProject& project) override { vb_.Start(project); }

  private:
    ide::CVB vb_;
};

} // namespace korvana::app
