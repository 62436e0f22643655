// Every form of the command line, run as a whole KorvanaStudio process on the
// demo installation: what it says (stderr), how it ends, and whether the IDE
// was started.
#include "app/DemoRoot.h"

#include <gtest/gtest.h>
#include <regex>

namespace korvana::test {
namespace {

constexpr const char* text905 = "Über die Kommandozeile sind nur folgende Befehle gültig:\n"
                                "/p=ProjectName\nProjectPath\\ProjectName.kvs";

struct CommandLineCase {
    const char* name;
    // "{root}" stands for the demo root.
    std::vector<std::string> arguments;
    int exitCode;
    // A piece of the message on stderr; empty when nothing may be said.
    std::string message;
    bool ideStarted;
};

std::string withRoot(std::string text, const std::filesystem::path& root) {
    const std::string marker = "{root}";
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker)) {
        text.replace(at, marker.size(), root.string());
    }
    return text;
}

// Lines of stderr that the studio's message service wrote: each starts with
// the title, which always begins with the program's name.
std::vector<std::string> messageLines(const std::string& err) {
    static const std::regex line("^KorvanaStudio[^\n]*", std::regex::multiline);
    std::vector<std::string> lines;
    for (auto it = std::sregex_iterator(err.begin(), err.end(), line); it != std::sregex_iterator();
         ++it) {
        lines.push_back(it->str());
    }
    return lines;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {
  protected:
    static void SetUpTestSuite() {
        demo_ = new DemoRoot();
        // A project whose registered folder lost its project file.
        demo_->registry().writeString(Hive::LocalMachine,
                                      "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\Verschoben",
                                      "Path", (demo_->path() / "Verschoben").string());
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    static DemoRoot* demo_;
};

DemoRoot* CommandLineTest::demo_ = nullptr;

TEST_P(CommandLineTest, SaysWhatItShouldAndEndsWithItsCode) {
    const CommandLineCase& c = GetParam();
    std::vector<std::string> arguments;
    for (const auto& argument : c.arguments) {
        arguments.push_back(withRoot(argument, demo_->path()));
    }
    const StudioRun run = demo_->studio(arguments);

    ASSERT_FALSE(run.process.timedOut) << run.process.err;
    EXPECT_EQ(run.process.exitCode, c.exitCode) << run.process.err;
    if (c.message.empty()) {
        EXPECT_TRUE(messageLines(run.process.err).empty()) << run.process.err;
    } else {
        EXPECT_NE(run.process.err.find(withRoot(c.message, demo_->path())), std::string::npos)
            << run.process.err;
    }
    EXPECT_EQ(run.report.has_value(), c.ideStarted) << run.process.err;
    if (c.ideStarted && run.report) {
        // One argument, the project file, however many blanks its path holds.
        EXPECT_EQ((*run.report)["arguments"],
                  nlohmann::json::array({(demo_->projectFolder() / "Kesselhaus.vbp").string()}));
    }
}

const CommandLineCase commandLineCases[] = {
    {"OpenByName", {"-p=Kesselhaus"}, 0, "", true},
    {"OpenByNameUpperCaseSlash", {"/P=Kesselhaus"}, 0, "", true},
    {"OpenByQuotedName", {"-p=\"Kesselhaus\""}, 0, "", true},
    {"OpenByPath", {"{root}/My Projects/Kesselhaus/Kesselhaus.kvs"}, 0, "", true},
    {"BlankInsteadOfEquals", {"-p", "Kesselhaus"}, 0, text905, false},
    {"UnknownSwitch", {"/x=Kesselhaus"}, 0, text905, false},
    {"NameNotRegistered", {"-p=Niemand"}, 0, "Das Projekt 'Niemand' ist nicht registriert!", false},
    {"RegisteredFolderLostTheFile",
     {"-p=Verschoben"},
     0,
     "Die Projektdatei 'Verschoben.kvs' existiert nicht im registrierten Verzeichnis "
     "'{root}/Verschoben'!",
     false},
    {"UpperCaseExtension",
     {"{root}/My Projects/Kesselhaus/Kesselhaus.KVS"},
     0,
     "'{root}/My Projects/Kesselhaus/Kesselhaus.KVS' ist ein unbekannter Dateityp!",
     false},
    {"MissingProjectFile",
     {"{root}/Nirgendwo/Anlage.kvs"},
     0,
     "Die Datei '{root}/Nirgendwo/Anlage.kvs' exisitiert nicht!",
     false},
    {"RegisterFileInAMissingFolder",
     {"-r={root}/Nirgendwo/Anlage.kvs"},
     1,
     "KorvanaStudio [warning]: 'Anlage' cannot be registered because the directory "
     "'{root}/Nirgendwo' does not exist!",
     false},
};

INSTANTIATE_TEST_SUITE_P(Forms, CommandLineTest, ::testing::ValuesIn(commandLineCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvana::test
