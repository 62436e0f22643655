// What creating a project from a template costs next to copying the template
// with `cp -r`: creation copies the same bytes, renames, rewrites the project
// file and every form it names, and adapts the database, so it should stay
// close to the plain copy.

#include "db/json/DatabaseJson.h"
#include "platform/FileRegistry.h"
#include "project/KVProject.h"
#include "services/ConfigurationComponent.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int fileCount = 2000;
constexpr int formCount = 200;
constexpr std::size_t totalBytes = 50u * 1024 * 1024;
constexpr int folderCount = 20;
// Every round keeps its copies until the end: creating files right after
// deleting thousands makes the file system's inode search slow and uneven.
constexpr int rounds = 5;
constexpr double target = 1.5;

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

// A form as the IDE writes it: Windows-1252, CR LF, the project name in a few places.
std::string form(int number) {
    std::string text = "VERSION 5.00\r\nBegin VB.Form frm" + std::to_string(number) +
                       "\r\n   Caption         =   \"%ProjectName% " + std::to_string(number) +
                       "\"\r\n";
    while (text.size() < 6000) {
        text += "   Begin VB.Label lbl" + std::to_string(text.size()) +
                "\r\n      Caption = \"%ProjectName%: Messwert\"\r\n      Height = 375\r\n"
                "   End\r\n";
    }
    return text + "End\r\n";
}

// The template: its database, a project file naming every form, the forms,
// and binary files in sub-folders up to the wanted number and size.
std::size_t makeTemplate(const fs::path& folder) {
    fs::create_directories(folder);
    korvana::db::json::createDatabaseFromJson(
        (folder / "%ProjectName%.kvs").string(),
        readText(fs::path(KORVANA_SOURCE_DIR) / "tests/fixtures/template-project.json"));
    std::string project = "Type=Exe\r\nName=\"%ProjectName%\"\r\n";
    std::size_t written = fs::file_size(folder / "%ProjectName%.kvs");
    for (int i = 0; i < formCount; ++i) {
        const std::string name = "Forms\\frm" + std::to_string(i) + ".frm";
        project += "Form=" + name + "\r\n";
        const std::string text = form(i);
        writeBytes(folder / "Forms" / ("frm" + std::to_string(i) + ".frm"), text);
        written += text.size();
    }
    writeBytes(folder / "%ProjectName%.vbp", project);
    writeBytes(folder / "_Info.ini", "[Info]\r\nProjectType=Single\r\n");
    written += project.size();
    const int dataFiles = fileCount - formCount - 3;
    const std::size_t dataSize = (totalBytes - written) / static_cast<std::size_t>(dataFiles);
    std::mt19937 random(42);
    std::string bytes(dataSize, '\0');
    for (int i = 0; i < dataFiles; ++i) {
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
        writeBytes(folder / ("Data" + std::to_string(i % folderCount)) /
                       ("%ProjectName%_" + std::to_string(i) + ".bin"),
                   bytes);
        written += bytes.size();
    }
    return written;
}

double seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double timeCreation(const fs::path& scratch, const fs::path& templ, int round) {
    korvana::FileRegistry registry(scratch / "registry");
    korvana::ConfigurationComponent configuration(registry);
    korvana::ScriptedMessageService messages;
    const korvana::TextService texts;
    const korvana::ProjectCreation environment{registry, configuration, messages, texts,
                                               "4.05.002"};
    korvana::CKVProject project;
    project.ProjectName = "Plant" + std::to_string(round);
    project.Path = (scratch / "created" / project.ProjectName).string();
    project.TemplatePath = templ.string();
    project.EProjectType = korvana::ProjectType::Client;
    project.LCID = korvana::germanLanguage;
    project.LCIDs = {korvana::germanLanguage, korvana::Lcid{1036}};
    const auto start = Clock::now();
    project.Create(environment);
    const double elapsed = seconds(Clock::now() - start);
    if (project.EProjectOpen != korvana::ProjectOpen::CreateFromTemplate ||
        !messages.shown().empty()) {
        std::fprintf(stderr, "bench_create: creation failed (%zu messages)\n",
                     messages.shown().size());
        std::exit(1);
    }
    return elapsed;
}

double timeCopy(const fs::path& scratch, const fs::path& templ, int round) {
    const fs::path copy = scratch / "copied" / std::to_string(round);
    fs::create_directories(copy.parent_path());
    const std::string command = "cp -r '" + templ.string() + "' '" + copy.string() + "'";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "bench_create: %s failed\n", command.c_str());
        std::exit(1);
    }
    return seconds(Clock::now() - start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "korvana-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("bench_create: cannot create a scratch folder");
        return 1;
    }
    const fs::path scratch = pattern;
    const fs::path templ = scratch / "Template";
    const std::size_t bytes = makeTemplate(templ);

    std::vector<double> creations;
    std::vector<double> copies;
    for (int round = 0; round < rounds; ++round) {
        copies.push_back(timeCopy(scratch, templ, round));
        creations.push_back(timeCreation(scratch, templ, round));
    }
    const double creation = median(creations);
    const double copy = median(copies);
    const double ratio = creation / copy;
    std::printf("create: template of %d files (%.1f MB, %d forms named in its project): "
                "creation %.1f ms, cp -r %.1f ms (median of %d)\n",
                fileCount, static_cast<double>(bytes) / (1024.0 * 1024.0), formCount,
                creation * 1000, copy * 1000, rounds);
    std::printf("create: creation over cp -r %.2f (target at most %.1f): %s\n", ratio, target,
                ratio <= target ? "within target" : "ABOVE TARGET");
    fs::remove_all(scratch);
    return 0;
}
