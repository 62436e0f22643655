#include "ChildMeasure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvana::bench {

ChildMeasure measureInChild(int rounds, const std::function<void()>& round) {
    using Clock = std::chrono::steady_clock;
    int channel[2];
    if (::pipe(channel) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        double best = 1e9;
        for (int i = 0; i < rounds; ++i) {
            const auto start = Clock::now();
            round();
            best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        }
        const bool written = ::write(channel[1], &best, sizeof best) == sizeof best;
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    ChildMeasure result;
    if (::read(channel[0], &result.bestSeconds, sizeof result.bestSeconds) !=
        sizeof result.bestSeconds) {
        std::fprintf(stderr, "a measuring child failed\n");
        std::exit(1);
    }
    ::close(channel[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    result.peakKilobytes = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    result.cpuSecondsPerRound = (seconds(usage.ru_utime) + seconds(usage.ru_stime)) / rounds;
    return result;
}

} // namespace korvana::bench
