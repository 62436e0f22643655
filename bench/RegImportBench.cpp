// What `kvs reg import` of a large regedit export costs over one plain parse
// of the same file: a 50 MB export of 100,000 keys, imported into an empty
// registry (read, parse, fill both hives, write and sync their files) against
// reading and parsing it into its list of entries. Each measurement runs in a
// child process of its own, so that its peak memory is its own.

#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "platform/Registry.h"

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
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int keyCount = 100000;
constexpr std::size_t fileSize = 50u << 20;
constexpr int rounds = 3;
constexpr double timeTarget = 1.5;
constexpr double memoryTarget = 3.0;

// An export as regedit writes it: keys a few levels deep, each with a text,
// a number, an expandable text and binary data wrapped over lines; the binary
// data's length fills the file to its size.
void writeExport(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    std::string text(korvana::RegFileWriter::header);
    text += "\n\n";
    const std::size_t perKey = fileSize / keyCount;
    for (int k = 0; k < keyCount; ++k) {
        const std::size_t keyStart = text.size();
        const auto hive = k % 4 == 0 ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
        text += "[" + std::string(hive) + "\\Software\\ARVENTIK GmbH\\Plant " +
                std::to_string(k / 1000) + "\\Station " + std::to_string(k) + "]\n";
        const auto value = [&text](std::string_view name, const korvana::RegistryValue& data) {
            korvana::RegFileWriter::appendValue(text, {std::string(name), data});
            text += '\n';
        };
        value("Description", korvana::RegistryValue::string("Pump station \"" + std::to_string(k) +
                                                            "\" at C:\\Plants\\North"));
        value("Port", korvana::RegistryValue::dword(static_cast<std::uint32_t>(k)));
        korvana::RegistryValue path;
        path.type = static_cast<std::uint32_t>(korvana::ValueType::ExpandString);
        path.data = std::vector<std::uint8_t>{'%', 0, 'T', 0, 'E', 0, 'M', 0, 'P', 0, '%', 0, 0, 0};
        value("Cache", path);
        const std::size_t used = text.size() - keyStart + 16;
        const std::size_t bytes = used < perKey ? (perKey - used) / 3 : 1;
        value("Layout", korvana::RegistryValue::binary(
                            std::vector<std::uint8_t>(bytes, static_cast<std::uint8_t>(k))));
        text += '\n';
        if (text.size() > (1u << 20)) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

enum class Work { Idle, Parse, Import };

// One round of the work, as `kvs reg import` and a plain parse do it.
void run(Work work, const fs::path& file, const fs::path& root) {
    if (work == Work::Idle) {
        return;
    }
    auto text = korvana::RegFileParser::decodeOwned(readFile(file), file.string());
    if (work == Work::Parse) {
        korvana::RegFileParser::Options options;
        options.strict = false;
        const auto content = korvana::RegFileParser::parse(text, file.string(), options);
        if (content.entries.size() < keyCount || !content.problems.empty()) {
            std::fprintf(stderr, "the parse missed entries\n");
            std::exit(1);
        }
        return;
    }
    fs::remove_all(root);
    korvana::FileRegistry registry(root);
    if (!registry.import(std::move(text), file.string()).empty()) {
        std::fprintf(stderr, "the import skipped lines\n");
        std::exit(1);
    }
}

struct Measure {
    double seconds = 0;
    double cpuSeconds = 0; // per round, user and system
    long peakKilobytes = 0;
};

// Runs the rounds in a child; its best round's time comes back through a
// pipe, its peak memory from wait4.
Measure measure(Work work, const fs::path& file, const fs::path& root) {
    int channel[2];
    if (::pipe(channel) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        double best = 1e9;
        for (int round = 0; round < rounds; ++round) {
            const auto start = Clock::now();
            run(work, file, root);
            best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        }
        const bool written = ::write(channel[1], &best, sizeof best) == sizeof best;
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    Measure result;
    if (::read(channel[0], &result.seconds, sizeof result.seconds) != sizeof result.seconds) {
        std::fprintf(stderr, "a measuring child failed\n");
        std::exit(1);
    }
    ::close(channel[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    result.peakKilobytes = usage.ru_maxrss;
    const auto cpu = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    result.cpuSeconds = (cpu(usage.ru_utime) + cpu(usage.ru_stime)) / rounds;
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder =
        fs::temp_directory_path() / ("reg-import-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "export.reg";
    writeExport(file);
    // "parse" or "import": only that, in this process, for a profiler.
    if (argc > 1) {
        run(std::string_view(argv[1]) == "parse" ? Work::Parse : Work::Import, file,
            folder / "root");
        fs::remove_all(folder);
        return 0;
    }
    const double megabytes = static_cast<double>(fs::file_size(file)) / (1 << 20);

    const Measure idle = measure(Work::Idle, file, folder / "root");
    const Measure parse = measure(Work::Parse, file, folder / "root");
    const Measure import = measure(Work::Import, file, folder / "root");
    fs::remove_all(folder);

    const auto extraMegabytes = [&idle](const Measure& m) {
        return static_cast<double>(m.peakKilobytes - idle.peakKilobytes) / 1024.0;
    };
    const double timeRatio = import.seconds / parse.seconds;
    const double memoryRatio = extraMegabytes(import) / megabytes;
    std::printf("file: %.1f MB, %d keys (best of %d rounds; memory over an idle child's %ld KB)\n",
                megabytes, keyCount, rounds, idle.peakKilobytes);
    std::printf("plain parse: %8.1f ms (CPU %6.1f ms), peak %7.1f MB\n", parse.seconds * 1000,
                parse.cpuSeconds * 1000, extraMegabytes(parse));
    std::printf("import:      %8.1f ms (CPU %6.1f ms), peak %7.1f MB\n", import.seconds * 1000,
                import.cpuSeconds * 1000, extraMegabytes(import));
    std::printf("import over parse: x%.2f time (target at most %.1f), memory x%.2f of the file "
                "(target at most %.1f)\n",
                timeRatio, timeTarget, memoryRatio, memoryTarget);
    return 0;
}
