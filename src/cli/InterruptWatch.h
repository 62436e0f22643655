#pragma once

#include <signal.h>

namespace korvana::cli {

// Ctrl+C while a command that can stop cleanly runs: instead of ending the
// process at once, SIGINT only raises a flag that the command reads at its
// next safe point. The flag is the process's one global: a signal handler can
// reach nothing else. A second Ctrl+C raises the same flag again.
class InterruptWatch {
  public:
    // Catches SIGINT from now on, with the flag lowered.
    InterruptWatch();
    // Gives SIGINT back to whoever had it before.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool interrupted() const;

  private:
    struct sigaction previous_ {};
};

} // namespace korvana::cli
