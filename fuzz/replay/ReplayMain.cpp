// A stand-in for libFuzzer's driver where libFuzzer is not there (the GCC
// builds of the test suite): runs a fuzz target over its corpus, then over
// random mutations of it for a few seconds. Coverage does not steer the
// mutations; the point is to catch a fault that a corpus file once showed and
// the faults close to it, not to search as libFuzzer does.
//
// Usage: fuzz_<name> [-seconds=N] [-max_len=N] [-seed=N] [-timeout=N]
//                    [-artifact_prefix=DIR/] FILE_OR_FOLDER...
//
// An input that crashes the target, trips a sanitizer, throws out of it or
// runs longer than the timeout is written to <artifact_prefix>crash-<hash>
// (the folder is made), and the program ends with a failure.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Options {
    double seconds = 0;
    std::size_t maxLength = 4096;
    std::uint64_t seed = 0;
    unsigned timeout = 20;
    std::string artifactPrefix = "./";
    std::vector<fs::path> inputs;
};

// The input under test, for the handlers that save it when the run dies. Set
// up before the run so that a signal handler only needs write(2).
const Bytes* current = nullptr;
std::string crashPath;

void saveCurrent(const char* why) {
    if (current == nullptr || crashPath.empty()) {
        return;
    }
    const int file = ::open(crashPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        const ssize_t written = ::write(file, current->data(), current->size());
        ::close(file);
        if (written == static_cast<ssize_t>(current->size())) {
            const char prefix[] = "\nfuzz replay: ";
            (void)!::write(2, prefix, sizeof prefix - 1);
            (void)!::write(2, why, std::strlen(why));
            const char middle[] = "; the input is saved as ";
            (void)!::write(2, middle, sizeof middle - 1);
            (void)!::write(2, crashPath.c_str(), crashPath.size());
            (void)!::write(2, "\n", 1);
        }
    }
    current = nullptr; // once is enough, whichever handler comes first
}

void onSignal(int signal) {
    saveCurrent(signal == SIGALRM ? "the input ran past the timeout" : "the target crashed");
    std::signal(signal, SIG_DFL);
    std::raise(signal == SIGALRM ? SIGABRT : signal);
}

void onDeath() {
    saveCurrent("a sanitizer stopped the target");
}

std::string hashName(const Bytes& input) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const std::uint8_t byte : input) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "crash-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

void run(const Bytes& input, const Options& options) {
    crashPath = options.artifactPrefix + hashName(input);
    current = &input;
    ::alarm(options.timeout);
    LLVMFuzzerTestOneInput(input.data(), input.size());
    ::alarm(0);
    current = nullptr;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto number = [&](std::string_view name) {
            return std::strtod(argument.substr(name.size()).data(), nullptr);
        };
        if (argument.starts_with("-seconds=")) {
            options.seconds = number("-seconds=");
        } else if (argument.starts_with("-max_len=")) {
            options.maxLength = static_cast<std::size_t>(number("-max_len="));
        } else if (argument.starts_with("-seed=")) {
            options.seed = static_cast<std::uint64_t>(number("-seed="));
        } else if (argument.starts_with("-timeout=")) {
            options.timeout = static_cast<unsigned>(number("-timeout="));
        } else if (argument.starts_with("-artifact_prefix=")) {
            options.artifactPrefix = std::string(argument.substr(sizeof "-artifact_prefix=" - 1));
        } else if (argument.starts_with("-")) {
            std::cerr << "fuzz replay: unknown option " << argument << "\n";
            std::exit(2);
        } else {
            options.inputs.emplace_back(argument);
        }
    }
    return options;
}

Bytes readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Bytes> loadCorpus(const std::vector<fs::path>& inputs) {
    std::vector<fs::path> files;
    for (const auto& input : inputs) {
        if (fs::is_directory(input)) {
            for (const auto& entry : fs::recursive_directory_iterator(input)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
        } else {
            files.push_back(input);
        }
    }
    std::sort(files.begin(), files.end()); // the same order, so a seed replays exactly
    std::vector<Bytes> corpus;
    for (const auto& file : files) {
        corpus.push_back(readFile(file));
    }
    return corpus;
}

// The bytes the readers give a meaning to; a random byte rarely hits one.
constexpr char interestingBytes[] = "\0\n\r\t \"'\\[]=@(),;#:-*?&%_{}0179afAF\x7f\x80\xc3\xff";
constexpr std::string_view interesting(interestingBytes, sizeof interestingBytes - 1);

class Mutator {
  public:
    Mutator(std::uint64_t seed, const std::vector<Bytes>& corpus, std::size_t maxLength)
        : random_(seed), corpus_(corpus), maxLength_(maxLength) {}

    Bytes next() {
        Bytes input = corpus_.empty() ? Bytes{} : corpus_[below(corpus_.size())];
        const std::size_t steps = 1 + below(4);
        for (std::size_t i = 0; i < steps; ++i) {
            mutate(input);
        }
        if (input.size() > maxLength_) {
            input.resize(maxLength_);
        }
        return input;
    }

  private:
    std::size_t below(std::size_t bound) {
        return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }
    std::uint8_t anyByte() {
        return below(2) == 0 ? static_cast<std::uint8_t>(interesting[below(interesting.size())])
                             : static_cast<std::uint8_t>(below(256));
    }

    void mutate(Bytes& input) {
        const std::size_t at = below(input.size() + 1);
        switch (below(7)) {
        case 0: // a byte changed
            if (at < input.size()) {
                input[at] = anyByte();
            }
            break;
        case 1: // a bit flipped
            if (at < input.size()) {
                input[at] ^= static_cast<std::uint8_t>(1u << below(8));
            }
            break;
        case 2: { // a few bytes inserted
            const std::size_t count = 1 + below(4);
            for (std::size_t i = 0; i < count; ++i) {
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), anyByte());
            }
            break;
        }
        case 3: { // a stretch removed
            const std::size_t count = std::min(input.size() - at, 1 + below(16));
            input.erase(input.begin() + static_cast<std::ptrdiff_t>(at),
                        input.begin() + static_cast<std::ptrdiff_t>(at + count));
            break;
        }
        case 4: { // a stretch of another input put in
            const Bytes& other = corpus_[below(corpus_.size())];
            const std::size_t from = below(other.size() + 1);
            const std::size_t count = std::min(other.size() - from, below(64));
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                         other.begin() + static_cast<std::ptrdiff_t>(from),
                         other.begin() + static_cast<std::ptrdiff_t>(from + count));
            break;
        }
        case 5: { // a stretch repeated: long lines, deep nesting, many entries
            const std::size_t count = std::min(input.size() - at, 1 + below(8));
            if (count == 0) {
                break;
            }
            const Bytes piece(input.begin() + static_cast<std::ptrdiff_t>(at),
                              input.begin() + static_cast<std::ptrdiff_t>(at + count));
            const std::size_t times = 1 + below(std::max<std::size_t>(1, maxLength_ / count / 4));
            for (std::size_t i = 0; i < times && input.size() + count <= maxLength_; ++i) {
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(),
                             piece.end());
            }
            break;
        }
        default: // cut short
            input.resize(at);
            break;
        }
    }

    std::mt19937_64 random_;
    const std::vector<Bytes>& corpus_;
    std::size_t maxLength_;
};

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    if (options.seed == 0) {
        options.seed =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    const fs::path artifactFolder = fs::path(options.artifactPrefix).parent_path();
    if (!artifactFolder.empty()) {
        std::error_code ignored;
        fs::create_directories(artifactFolder, ignored);
    }
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) {
        std::signal(signal, onSignal);
    }
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(onDeath);
#else
    (void)onDeath;
#endif
    std::set_terminate([] {
        saveCurrent("an exception left the target");
        std::abort();
    });

    const std::vector<Bytes> corpus = loadCorpus(options.inputs);
    for (const Bytes& input : corpus) {
        run(input, options);
    }
    std::size_t mutations = 0;
    if (options.seconds > 0) {
        Mutator mutator(options.seed, corpus, options.maxLength);
        const auto end =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(options.seconds);
        while (std::chrono::steady_clock::now() < end) {
            run(mutator.next(), options);
            ++mutations;
        }
    }
    std::cout << "fuzz replay: " << corpus.size() << " corpus inputs and " << mutations
              << " mutations (seed " << options.seed << ") passed\n";
    return 0;
}
