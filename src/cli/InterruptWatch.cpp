#include "cli/InterruptWatch.h"

#include <atomic>

namespace korvana::cli {

namespace {

// Lock-free, so that the handler may set it.
std::atomic<bool> interruptRaised{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void raiseInterrupt(int) {
    interruptRaised.store(true, std::memory_order_relaxed);
}

} // namespace

InterruptWatch::InterruptWatch() {
    interruptRaised.store(false);
    struct sigaction action {};
    action.sa_handler = raiseInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
}

InterruptWatch::~InterruptWatch() {
    sigaction(SIGINT, &previous_, nullptr);
}

bool InterruptWatch::interrupted() const {
    return interruptRaised.load(std::memory_order_relaxed);
}

} // namespace korvana::cli
