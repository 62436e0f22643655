#pragma once

#include <iosfwd>

namespace korvana::cli {

// What a kvs command works with. The process-wide objects (system root,
// registry, texts, messages) are created on first use, so that commands that do
// not need them never touch the system root.
class CliContext {
public:
    CliContext(std::ostream& output, std::ostream& errors) : out(output), err(errors) {}

    std::ostream& out;
    std::ostream& err;
    int exitCode = 0;
};

} // namespace korvana::cli
