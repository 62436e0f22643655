#include "platform/SpawnedProcess.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korvana {

namespace {

using Clock = std::chrono::steady_clock;

// Kernels before 5.3 have no process descriptors; the process is then watched
// through its status alone.
int openProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    // Process descriptors are close-on-exec from the start, so no later child
    // inherits this one.
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

std::chrono::milliseconds remainingUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

} // namespace

SpawnedProcess::SpawnedProcess(pid_t pid) : pid_(pid), pidfd_(openProcessDescriptor(pid)) {}

SpawnedProcess::~SpawnedProcess() {
    // An ended child is collected so that it does not linger as a zombie; one
    // that still runs (the developer's IDE) is left alone.
    if (!ended_) {
        reap(false);
    }
    if (pidfd_ >= 0) {
        close(pidfd_);
    }
}

bool SpawnedProcess::waitFor(std::chrono::milliseconds timeout) {
    if (ended_) {
        return true;
    }
    timeout = std::max(timeout, std::chrono::milliseconds(0));
    return pidfd_ >= 0 ? pollDescriptor(timeout) : pollStatus(timeout);
}

bool SpawnedProcess::pollDescriptor(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        pollfd watched{pidfd_, POLLIN, 0};
        const auto left =
            std::min<std::chrono::milliseconds::rep>(remainingUntil(deadline).count(), 1'000'000);
        const int ready = poll(&watched, 1, static_cast<int>(left));
        if (ready > 0) {
            return reap(true);
        }
        if (ready == 0) {
            if (Clock::now() >= deadline) {
                return false;
            }
            continue; // a wait longer than one poll allows
        }
        if (errno != EINTR) {
            // The descriptor cannot be watched; the status still can.
            return pollStatus(remainingUntil(deadline));
        }
    }
}

bool SpawnedProcess::pollStatus(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (reap(false)) {
            return true;
        }
        const auto left = remainingUntil(deadline);
        if (left.count() == 0) {
            return false;
        }
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(5)));
    }
}

bool SpawnedProcess::reap(bool block) {
    for (;;) {
        int status = 0;
        const pid_t got = waitpid(pid_, &status, block ? 0 : WNOHANG);
        if (got == pid_) {
            ended_ = true;
            if (WIFEXITED(status)) {
                exitCode_ = WEXITSTATUS(status);
            }
            return true;
        }
        if (got == 0) {
            return false;
        }
        if (errno != EINTR) {
            // ECHILD: the program lets the system collect its children
            // (SIGCHLD ignored), so the child has ended and its status is gone.
            ended_ = true;
            return true;
        }
    }
}

} // namespace korvana
