// How listing the registered projects grows with their number, and what it
// costs next to one parse of the hive file that holds them: listing reads two
// values per project and looks at its file, so it must stay linear and close
// to the cost of reading the hive once.

#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "platform/RegistryKey.h"
#include "project/ProjectRegistration.h"
#include "services/ConfigurationComponent.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using korvana::Hive;

constexpr int largeCount = 5000;
constexpr int smallCount = 500;
constexpr int rounds = 7;
constexpr double growthTarget = 12.0;
constexpr double parseTarget = 5.0;

// A registry folder whose machine hive registers `count` projects, each with
// its project file present below `projects`.
void makeRegistry(const fs::path& registryFolder, const fs::path& projects, int count) {
    fs::create_directories(registryFolder);
    korvana::RegistryKey root("HKEY_LOCAL_MACHINE");
    bool created = false;
    korvana::RegistryKey* key = &root;
    for (const char* part : {"Software", "ARVENTIK GmbH", "Korvana", "4.0", "Projects"}) {
        key = &key->childOrCreate(part, created);
    }
    const char* types[] = {"Single", "Server", "Client", "Terminal Server"};
    for (int i = 0; i < count; ++i) {
        const std::string name = "Plant " + std::to_string(i);
        const fs::path folder = projects / name;
        fs::create_directories(folder);
        std::ofstream(folder / (name + ".kvs")).put('\0');
        auto& project = key->childOrCreate(name, created);
        project.setValue("Path", korvana::RegistryValue::string(folder.string()));
        project.setValue("ProjectType", korvana::RegistryValue::string(types[i % 4]));
        project.setValue("KorvanaVersion", korvana::RegistryValue::string("4.05.000"));
    }
    std::ofstream(registryFolder / "HKEY_LOCAL_MACHINE.reg", std::ios::binary)
        << korvana::RegFileWriter::hive(Hive::LocalMachine, root);
}

double seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double timeListing(const fs::path& registryFolder, int expected) {
    const auto start = Clock::now();
    korvana::FileRegistry registry(registryFolder);
    korvana::ConfigurationComponent configuration(registry);
    korvana::ScriptedMessageService messages;
    const korvana::TextService texts;
    korvana::ProjectRegistration registration(registry, configuration, messages, texts);
    const auto rows = registration.ListRegisteredProjects(korvana::ProjectTypeMask::all());
    const double elapsed = seconds(Clock::now() - start);
    if (rows.size() != static_cast<std::size_t>(expected)) {
        std::fprintf(stderr, "bench_registration: %zu of %d projects listed\n", rows.size(),
                     expected);
        std::exit(1);
    }
    return elapsed;
}

double timeFullParse(const fs::path& file) {
    const auto start = Clock::now();
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    korvana::RegFileParser::Options options;
    options.onlyHive = Hive::LocalMachine;
    const auto content = korvana::RegFileParser::parse(
        korvana::RegFileParser::decode(bytes.str(), file.string()), file.string(), options);
    korvana::RegistryKey root("HKEY_LOCAL_MACHINE");
    korvana::applyRegFileEntries(content.entries, Hive::LocalMachine, root);
    return seconds(Clock::now() - start);
}

} // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "korvana-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("bench_registration: cannot create a scratch folder");
        return 1;
    }
    const fs::path scratch = pattern;
    makeRegistry(scratch / "large", scratch / "projects-large", largeCount);
    makeRegistry(scratch / "small", scratch / "projects-small", smallCount);

    std::vector<double> large;
    std::vector<double> small;
    std::vector<double> parses;
    for (int round = 0; round < rounds; ++round) {
        large.push_back(timeListing(scratch / "large", largeCount));
        small.push_back(timeListing(scratch / "small", smallCount));
        parses.push_back(timeFullParse(scratch / "large" / "HKEY_LOCAL_MACHINE.reg"));
    }
    const double largeTime = *std::min_element(large.begin(), large.end());
    const double smallTime = *std::min_element(small.begin(), small.end());
    const double parseTime = *std::min_element(parses.begin(), parses.end());
    const double growth = largeTime / smallTime;
    const double overParse = largeTime / parseTime;
    std::printf("registration: listing %d projects %.1f ms, %d projects %.1f ms, one parse of "
                "the %d-project hive %.1f ms\n",
                largeCount, largeTime * 1000, smallCount, smallTime * 1000, largeCount,
                parseTime * 1000);
    std::printf("registration: %d over %d projects %.2f (target at most %.0f): %s\n", largeCount,
                smallCount, growth, growthTarget,
                growth <= growthTarget ? "within target" : "ABOVE TARGET");
    std::printf("registration: listing over one parse %.2f (target at most %.0f): %s\n", overParse,
                parseTarget, overParse <= parseTarget ? "within target" : "ABOVE TARGET");
    fs::remove_all(scratch);
    return 0;
}
