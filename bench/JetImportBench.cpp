// Measures the import of every Jet 4.0 sample database into a project
// database against mdb-export, libmdb's own lister, printing every table of
// every sample (target: at most 1.5 times its time), and the peak memory of
// importing the sample with the largest table against the one with the
// smallest (rows are streamed, so it must not grow with a table's size).
#include "db/jetfile/JetFile.h"
#include "db/jetfile/JetImport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace korvana::db::jetfile;
using Clock = std::chrono::steady_clock;

double millis(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// User and system time of this process (`who` RUSAGE_SELF) or of its waited-for
// children (RUSAGE_CHILDREN), in milliseconds.
double cpuMillis(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Sample {
    fs::path file;
    std::vector<std::string> tables;
    long largestTable = 0;
};

// mdb-export as a user would run it, its output thrown away.
void exportAll(const std::vector<Sample>& samples) {
    for (const auto& sample : samples) {
        for (const auto& table : sample.tables) {
            const pid_t child = ::fork();
            if (child == 0) {
                std::freopen("/dev/null", "w", stdout);
                std::freopen("/dev/null", "w", stderr);
                ::execlp("mdb-export", "mdb-export", sample.file.c_str(), table.c_str(),
                         static_cast<char*>(nullptr));
                ::_exit(127);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::fprintf(stderr, "mdb-export failed on %s\n", sample.file.c_str());
                std::exit(1);
            }
        }
    }
}

void importAll(const std::vector<Sample>& samples, const fs::path& folder) {
    for (const auto& sample : samples) {
        const auto out = folder / (sample.file.stem().string() + ".kvs");
        importJetFile(sample.file.string(), out.string());
        fs::remove(out);
    }
}

// The peak resident size of a process that imports only `sample`.
long importPeakKilobytes(const Sample& sample, const fs::path& folder) {
    const pid_t child = ::fork();
    if (child == 0) {
        // stderr carries libmdb's own chatter about indexes it cannot read.
        std::freopen("/dev/null", "w", stderr);
        importAll({sample}, folder);
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(KORVANA_JET_SAMPLES);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    std::vector<Sample> samples;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".mdb") {
            continue;
        }
        Sample sample{entry.path(), {}, 0};
        JetFile jet(sample.file.string());
        sample.tables = jet.tableNames();
        for (const auto& table : sample.tables) {
            long rows = 0;
            auto reader = jet.rows(table);
            std::vector<korvana::db::Value> row;
            while (reader.next(row)) {
                ++rows;
            }
            sample.largestTable = std::max(sample.largestTable, rows);
        }
        samples.push_back(std::move(sample));
    }
    if (samples.empty()) {
        std::fprintf(stderr, "no Jet samples in %s\n", folder.c_str());
        return 1;
    }
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.largestTable < b.largestTable; });
    const fs::path scratch =
        fs::temp_directory_path() / ("jet-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch);

    std::freopen("/dev/null", "w", stderr);
    double ours = 0;
    double theirs = 0;
    double oursCpu = 0;
    double theirsCpu = 0;
    for (int round = 0; round < rounds; ++round) {
        double before = cpuMillis(RUSAGE_CHILDREN);
        theirs += millis([&] { exportAll(samples); });
        theirsCpu += cpuMillis(RUSAGE_CHILDREN) - before;
        before = cpuMillis(RUSAGE_SELF);
        ours += millis([&] { importAll(samples, scratch); });
        oursCpu += cpuMillis(RUSAGE_SELF) - before;
    }
    // The wall time includes waiting for the disk: the import makes its result
    // durable before it gives it a name, while mdb-export writes to nowhere.
    const double ratio = ours / theirs;
    std::printf("%-46s %9.1f ms  vs %9.1f ms  ratio %5.2f  (target <= 1.5)\n",
                "import of all samples over mdb-export, wall", ours / rounds, theirs / rounds,
                ratio);
    std::printf("%-46s %9.1f ms  vs %9.1f ms  ratio %5.2f\n",
                "the same, processor time (user + system)", oursCpu / rounds, theirsCpu / rounds,
                oursCpu / theirsCpu);

    const long small = importPeakKilobytes(samples.front(), scratch);
    const long large = importPeakKilobytes(samples.back(), scratch);
    std::printf("peak memory, largest table %5ld rows: %6ld KB; %5ld rows: %6ld KB\n",
                samples.back().largestTable, large, samples.front().largestTable, small);
    fs::remove_all(scratch);
    return ratio <= 1.5 ? 0 : 1;
}
