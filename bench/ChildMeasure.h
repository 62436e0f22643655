#pragma once

#include <functional>

namespace korvana::bench {

struct ChildMeasure {
    double bestSeconds = 0;
    double cpuSecondsPerRound = 0; // user and system
    long peakKilobytes = 0;
};

// Runs `round` `rounds` times in a child process of its own, so that its peak
// memory is its own: the best round's time comes back through a pipe, the
// peak memory and CPU time from wait4. Ends the program when the child fails.
ChildMeasure measureInChild(int rounds, const std::function<void()>& round);

} // namespace korvana::bench
