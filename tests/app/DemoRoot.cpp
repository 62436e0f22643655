#include "app/DemoRoot.h"

#include <stdexcept>

namespace korvana::test {

namespace {

const std::filesystem::path binDir = KORVANA_BIN_DIR;
const std::filesystem::path sourceDir = KORVANA_SOURCE_DIR;

} // namespace

DemoRoot::DemoRoot() : root_(scratch_ / "root") {
    std::filesystem::create_directories(scratch_ / "runs");
    const ProgramResult seeded = seed(root_);
    if (seeded.exitCode != 0) {
        throw std::runtime_error("scripts/seed-demo failed: " + seeded.err);
    }
    registry_ = std::make_unique<FileRegistry>(root_ / "registry");
}

std::filesystem::path DemoRoot::installationFolder() const {
    return root_ / "Program Files" / "ARVENTIK" / "Korvana";
}

std::filesystem::path DemoRoot::projectsFolder() const {
    return root_ / "My Projects";
}

std::filesystem::path DemoRoot::projectFolder() const {
    return projectsFolder() / "Kesselhaus";
}

std::filesystem::path DemoRoot::projectFile() const {
    return projectFolder() / "Kesselhaus.kvs";
}

std::filesystem::path DemoRoot::addInFile() const {
    return root_ / "windows" / "VBAddIn.ini";
}

std::filesystem::path DemoRoot::vb6Executable() const {
    return root_ / "Program Files" / "Microsoft Visual Studio" / "VB98" / "VB6.exe";
}

std::filesystem::path DemoRoot::vb5Executable() const {
    return root_ / "Program Files" / "DevStudio" / "VB" / "VB5.exe";
}

std::filesystem::path DemoRoot::scratch(const std::string& name) const {
    auto folder = scratch_ / "work" / name;
    std::filesystem::create_directories(folder);
    return folder;
}

EnvironmentChanges DemoRoot::isolatedEnvironment() const {
    const auto home = scratch_ / "home";
    const auto runtime = scratch_ / "runtime";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    return {
        {"HOME", home.string()},
        {"XDG_CONFIG_HOME", (home / ".config").string()},
        {"XDG_CACHE_HOME", (home / ".cache").string()},
        {"XDG_DATA_HOME", (home / ".local" / "share").string()},
        {"XDG_RUNTIME_DIR", runtime.string()},
    };
}

StudioRun DemoRoot::studio(const std::vector<std::string>& arguments,
                           const EnvironmentChanges& extra, const std::string& standinScript) {
    return runStudio(binDir / "KorvanaStudio", arguments, extra, standinScript);
}

StudioRun DemoRoot::studioChoosing(const std::string& projectName, Chooser chooser,
                                   const std::string& standinScript) {
    const std::string driver = (sourceDir / "tests" / "app" / "drive-project-open").string();
    const std::string studioProgram = (binDir / "KorvanaStudio").string();
    std::vector<std::string> arguments{"-a", "-s", "-screen 0 1024x720x24"};
    if (chooser == Chooser::Accessibility) {
        // The accessibility bus lives in a session bus of the run's own.
        arguments.insert(arguments.end(), {"/usr/bin/dbus-run-session", "--", driver, "--atspi"});
    } else {
        arguments.insert(arguments.end(),
                         {driver, chooser == Chooser::NewProject ? "--create" : "--keyboard"});
    }
    arguments.insert(arguments.end(), {studioProgram, projectName});
    return runStudio("/usr/bin/xvfb-run", arguments, {}, standinScript);
}

StudioRun DemoRoot::runStudio(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments,
                              const EnvironmentChanges& extra, const std::string& standinScript) {
    static int runs = 0;
    const auto report = scratch_ / "runs" / ("ide-report-" + std::to_string(++runs) + ".json");
    EnvironmentChanges environment = isolatedEnvironment();
    environment.merge(EnvironmentChanges{
        {"KORVANA_ROOT", root_.string()},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"KORVANA_MESSAGES", "console"},
        {"KORVANA_ANSWER", std::nullopt},
        {"KORVANA_STARTUP_TRACE", std::nullopt},
        {"VB_STANDIN_SCRIPT", standinScript},
        {"VB_STANDIN_REPORT", report.string()},
    });
    for (const auto& [name, value] : extra) {
        environment[name] = value;
    }
    StudioRun run;
    run.process = runProgram(program, arguments, environment, scratch_ / "runs");
    if (std::filesystem::exists(report)) {
        run.report = nlohmann::json::parse(readFile(report));
    }
    return run;
}

ProgramResult DemoRoot::kvs(const std::vector<std::string>& arguments) {
    EnvironmentChanges environment = isolatedEnvironment();
    environment["KORVANA_ROOT"] = root_.string();
    return runProgram(binDir / "kvs", arguments, environment, scratch_ / "runs");
}

ProgramResult DemoRoot::seed(const std::filesystem::path& root) {
    EnvironmentChanges environment = isolatedEnvironment();
    environment["KORVANA_ROOT"] = std::nullopt;
    return runProgram(sourceDir / "scripts" / "seed-demo",
                      {root.string(), "--kvs", (binDir / "kvs").string(), "--standin",
                       (binDir / "vb-standin").string()},
                      environment, scratch_ / "runs");
}

std::optional<std::vector<std::uint8_t>> binaryValue(const Registry& registry, Hive hive,
                                                     std::string_view key, std::string_view name) {
    const auto value = registry.value(hive, key, name);
    if (!value || !std::holds_alternative<std::vector<std::uint8_t>>(value->data)) {
        return std::nullopt;
    }
    return std::get<std::vector<std::uint8_t>>(value->data);
}

} // namespace korvana::test
