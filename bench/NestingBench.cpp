// What a regedit file with one key nested very deep costs: importing it
// (parse, then the import into the hive files) and reading it as a stored
// hive. Both refuse the key at its line, and must get there in time and memory
// that grow with the file's size, not with the square of its depth. Each depth
// runs in a child process of its own, so that its peak memory is its own.

#include "ChildMeasure.h"
#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

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

// Each depth in a child of its own (see measureInChild); the text is made
// before, so that only the import and the read are timed.
Measure measure(std::size_t depth, const fs::path& folder) {
    const std::string text = depth == 0 ? std::string() : nestedFile(depth);
    const auto measured = korvana::bench::measureInChild(rounds, [&] {
        if (depth != 0) {
            importAndRead(text, folder);
        }
    });
    return {measured.bestSeconds, measured.peakKilobytes};
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
