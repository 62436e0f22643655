#pragma once

#include "platform/FileRegistry.h"
#include "platform/SystemRoot.h"

#include <iosfwd>
#include <memory>

namespace korvana::cli {

// What a kvs command works with. The process-wide objects (system root,
// registry, texts, messages) are created on first use, so that commands that do
// not need them never touch the system root.
class CliContext {
  public:
    CliContext(std::ostream& output, std::ostream& errors, bool outputIsTerminal = false)
        : out(output), err(errors), outIsTerminal(outputIsTerminal) {}

    std::ostream& out;
    std::ostream& err;
    // Lists are tables for people at a terminal and lines for scripts.
    bool outIsTerminal;
    int exitCode = 0;

    // The system root of this process, made ready on first use.
    SystemRoot& root() {
        if (!root_) {
            root_ =
                std::make_unique<SystemRoot>(SystemRoot::open(SystemRoot::processEnvironment()));
        }
        return *root_;
    }
    // The registry kept under the system root.
    FileRegistry& registry() {
        if (!registry_) {
            registry_ = std::make_unique<FileRegistry>(root().registryFolder());
        }
        return *registry_;
    }

  private:
    std::unique_ptr<SystemRoot> root_;
    std::unique_ptr<FileRegistry> registry_;
};

} // namespace korvana::cli
