#pragma once

#include "app/ProgramRun.h"
#include "platform/FileRegistry.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace korvana::test {

// One run of KorvanaStudio and what the IDE stand-in reported of it.
struct StudioRun {
    ProgramResult process;
    // The stand-in's report; nothing when the IDE was never started.
    std::optional<nlohmann::json> report;
};

// A scratch system root holding the demo installation, seeded by
// scripts/seed-demo with the programs of this build, and the means to run
// KorvanaStudio and the seed on it. Everything a test makes stays below the
// scratch folder: the root, the output of the runs, and the home and cache
// folders the programs are given.
class DemoRoot {
  public:
    DemoRoot();

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path installationFolder() const;
    // Where the demo's projects and groups are made.
    std::filesystem::path projectsFolder() const;
    std::filesystem::path projectFolder() const; // the sample project "Kesselhaus"
    std::filesystem::path projectFile() const;
    std::filesystem::path addInFile() const;
    // Where the registry sends the IDE: the stand-in under its Windows names.
    std::filesystem::path vb6Executable() const;
    std::filesystem::path vb5Executable() const;

    Registry& registry() { return *registry_; }

    // KorvanaStudio on the Qt platform without a display, its messages on
    // stderr; the stand-in IDE runs `standinScript` instead of a window.
    StudioRun studio(const std::vector<std::string>& arguments,
                     const EnvironmentChanges& extra = {},
                     const std::string& standinScript = "sleep-ms=20;exit=0");

    // How a test answers the project-open dialog (tests/app/drive-project-open).
    enum class Chooser {
        Keyboard,      // the project's name typed into the list, then Enter (xdotool)
        Accessibility, // selected and opened over the AT-SPI bus (pyatspi)
        NewProject,    // the template of that name, then OK in the new-project dialog
    };

    // KorvanaStudio without a command line on a virtual screen (xvfb-run), its
    // project-open dialog answered with the project (or template) of that name.
    StudioRun studioChoosing(const std::string& projectName, Chooser chooser,
                             const std::string& standinScript = "sleep-ms=20;exit=0");

    // kvs on this root.
    ProgramResult kvs(const std::vector<std::string>& arguments);

    // scripts/seed-demo on another root, with this build's kvs and stand-in.
    ProgramResult seed(const std::filesystem::path& root);

    // A scratch folder for the test's own files.
    std::filesystem::path scratch(const std::string& name) const;

  private:
    EnvironmentChanges isolatedEnvironment() const;
    StudioRun runStudio(const std::filesystem::path& program,
                        const std::vector<std::string>& arguments, const EnvironmentChanges& extra,
                        const std::string& standinScript);

    ScratchDir scratch_;
    std::filesystem::path root_;
    std::unique_ptr<FileRegistry> registry_;
};

// A test suite whose cases share one seeded demo root: seeding takes a while.
template <typename Base = ::testing::Test> class SharedDemoRoot : public Base {
  protected:
    static void SetUpTestSuite() { demo_ = new DemoRoot(); }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    static inline DemoRoot* demo_ = nullptr;
};

// The bytes of a registry value; nothing when it is missing or not binary.
std::optional<std::vector<std::uint8_t>> binaryValue(const Registry& registry, Hive hive,
                                                     std::string_view key, std::string_view name);

} // namespace korvana::test
