#include "dialogs/StartupTrace.h"

#include <fstream>
#include <time.h>

namespace korvana::dialogs {

long long StartupTrace::monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

void StartupTrace::record(std::string_view event) const {
    if (!enabled()) {
        return;
    }
    const long long now = monotonicNanoseconds();
    std::ofstream out(file_, std::ios::app);
    out << event << ' ' << now << '\n';
}

} // namespace korvana::dialogs
