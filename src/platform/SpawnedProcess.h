#pragma once

#include "platform/Process.h"

#include <sys/types.h>

namespace korvana {

// A child process started with posix_spawn. It is reaped exactly once, by the
// first wait that sees it end; until then its id stays reserved for us.
//
// The wait sleeps in poll() on a process descriptor, which wakes up the moment
// the child ends; only where the kernel has no process descriptors does it
// fall back to checking every few milliseconds.
class SpawnedProcess : public RunningProcess {
  public:
    explicit SpawnedProcess(pid_t pid);
    ~SpawnedProcess() override;
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    bool waitFor(std::chrono::milliseconds timeout) override;
    std::optional<int> exitCode() const override { return exitCode_; }
    int endNotifier() const override { return ended_ ? -1 : pidfd_; }

  private:
    // Collects the ended child's status; `block` false only looks.
    bool reap(bool block);
    bool pollDescriptor(std::chrono::milliseconds timeout);
    bool pollStatus(std::chrono::milliseconds timeout);

    pid_t pid_;
    int pidfd_ = -1;
    bool ended_ = false;
    std::optional<int> exitCode_;
};

} // namespace korvana
