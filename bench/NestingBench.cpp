// What a regedit file with one key nested very deep costs: importing it
// (parse, then the import into the hive files) and reading it as a stored
// hive. Both refuse the key at its line, and must get there in time and memory
// that grow with the file's size, not with the square of its depth. Each depth
// runs in a child process of its own, so that its peak memory is its own.

#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int rounds = 20;
constexpr std::size_t depths[] = {10000, 20000, 40000};

std::string nestedFile(std::size_t depth) {
    std::string text(korvana::RegFileWriter::header);
    text += "\n\n[HKEY_CURRENT_USER";
    for (std::size_t i = 0; i < depth; ++i) {
        text += "\\a";
    }
    text += "]\n\"V\"=\"deep\"\n";
    return text;
}

// One import and one read of the same text as a stored hive.
void importAndRead(const std::string& text, const fs::path& folder) {
    korvana::RegFileParser::Options options;
    options.strict = false;
    korvana::FileRegistry registry(folder);
    registry.import(korvana::RegFileParser::parse(text, "deep.reg", options));
    std::ofstream(folder / "HKEY_CURRENT_USER.reg", std::ios::binary) << text;
    try {
        korvana::FileRegistry(folder).exportKey(korvana::Hive::CurrentUser, "");
    } catch (const korvana::Error&) {
        // Refused at the deep key's line, as it should be.
    }
    fs::remove(folder / "HKEY_CURRENT_USER.reg");
}

struct Measure {
    double seconds = 0;
    long peakKilobytes = 0;
};

// Runs the rounds in a child; its best round's time comes back through a
// pipe, its peak memory from wait4.
Measure measure(std::size_t depth, const fs::path& folder) {
    int channel[2];
    if (::pipe(channel) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::string text = depth == 0 ? std::string() : nestedFile(depth);
        double best = 1e9;
        for (int round = 0; round < rounds; ++round) {
            const auto start = Clock::now();
            if (depth != 0) {
                importAndRead(text, folder);
            }
            best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        }
        const bool written = ::write(channel[1], &best, sizeof best) == sizeof best;
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    Measure result;
    if (::read(channel[0], &result.seconds, sizeof result.seconds) != sizeof result.seconds) {
        std::fprintf(stderr, "the child measuring depth %zu failed\n", depth);
        std::exit(1);
    }
    ::close(channel[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

} // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("nesting-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const Measure base = measure(0, folder);
    std::printf("depth    file KB   best ms   peak KB (over an idle child's %ld KB)\n",
                base.peakKilobytes);
    Measure previous;
    std::size_t previousDepth = 0;
    for (const std::size_t depth : depths) {
        const Measure m = measure(depth, folder);
        const long extra = m.peakKilobytes - base.peakKilobytes;
        std::printf("%6zu %9.1f %9.3f %9ld", depth,
                    static_cast<double>(nestedFile(depth).size()) / 1024.0, m.seconds * 1000,
                    extra);
        if (previousDepth != 0) {
            const long previousExtra = previous.peakKilobytes - base.peakKilobytes;
            std::printf("   x%.1f depth: x%.2f time, x%.2f memory",
                        double(depth) / double(previousDepth), m.seconds / previous.seconds,
                        previousExtra > 0 ? double(extra) / double(previousExtra) : 0.0);
        }
        std::printf("\n");
        previous = m;
        previousDepth = depth;
    }
    fs::remove_all(folder);
    return 0;
}
