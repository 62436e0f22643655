// How soon KorvanaStudio shows its splash: the time from the start of the
// process to the splash's first paint, over the same for a bare Qt program
// that shows one window (bare_window). The median of several alternating
// runs of each is taken; the target is a ratio of at most 1.5.
#include "LaunchBenchRoot.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

constexpr int rounds = 9;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from the start of the program to its first painted window.
double timeToFirstPaint(const korvana::bench::LaunchBenchRoot& root, const std::string& program,
                        const std::vector<std::string>& arguments, int round) {
    const auto trace = root.file(program + "-" + std::to_string(round) + ".trace");
    std::filesystem::remove(trace);
    const auto run =
        root.run(program, arguments,
                 {{"KORVANA_STARTUP_TRACE", trace.string()}, {"VB_STANDIN_SCRIPT", "exit=0"}});
    const auto shown = korvana::bench::LaunchBenchRoot::splashShown(trace);
    if (!shown) {
        throw std::runtime_error(program + " recorded no first paint (exit " +
                                 std::to_string(run.exitCode) + ")");
    }
    return static_cast<double>(*shown - run.startNanoseconds) / 1e6;
}

} // namespace

int main() {
    try {
        korvana::bench::LaunchBenchRoot root;
        const std::vector<std::string> studioArguments{"-p=Kesselhaus"};
        // Warm the file cache and upgrade the sample project once.
        timeToFirstPaint(root, "KorvanaStudio", studioArguments, 0);
        timeToFirstPaint(root, "bare_window", {}, 0);
        std::vector<double> studio;
        std::vector<double> bare;
        for (int round = 1; round <= rounds; ++round) {
            studio.push_back(timeToFirstPaint(root, "KorvanaStudio", studioArguments, round));
            bare.push_back(timeToFirstPaint(root, "bare_window", {}, round));
        }
        const double ratio = median(studio) / median(bare);
        std::printf("Qt platform: %s; median of %d runs each\n", root.platform().c_str(), rounds);
        std::printf("start to splash shown, KorvanaStudio: %.1f ms\n", median(studio));
        std::printf("start to first window, bare Qt program: %.1f ms\n", median(bare));
        std::printf("ratio: %.2f (target at most 1.5): %s\n", ratio,
                    ratio <= 1.5 ? "within target" : "OVER TARGET");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_splash: %s\n", error.what());
        return 1;
    }
}
