// Command lines that change the registry of projects or meet a machine
// without Visual Basic, run as whole KorvanaStudio processes.
#include "app/DemoRoot.h"
#include "db/Sqlite.h"

#include <gtest/gtest.h>

namespace korvana::test {
namespace {

const std::string projectsKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";

class CommandLineEffectsTest : public SharedDemoRoot<> {
  protected:
    static std::string registeredPath(const std::string& name) {
        return demo_->registry().readString(Hive::LocalMachine, projectsKey + "\\" + name, "Path");
    }

    // A copy of the sample project's folder somewhere else in the root.
    static std::filesystem::path copyOfProject(const std::string& where) {
        const auto folder = demo_->path() / where / "Kesselhaus";
        std::filesystem::create_directories(folder.parent_path());
        std::filesystem::copy(demo_->projectFolder(), folder,
                              std::filesystem::copy_options::recursive);
        return folder;
    }
};

TEST_F(CommandLineEffectsTest, RegisterSwitchRegistersTheFileAndEndsWithoutTheIde) {
    const auto folder = demo_->path() / "Anlage Nord";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(demo_->projectFile(), folder / "Anlage2.kvs");

    const StudioRun run = demo_->studio({"-r=" + (folder / "Anlage2.kvs").string()});

    EXPECT_EQ(run.process.exitCode, 0) << run.process.err;
    EXPECT_FALSE(run.report) << "the IDE was started";
    EXPECT_EQ(registeredPath("Anlage2"), folder.string());
    EXPECT_EQ(
        demo_->registry().readString(Hive::LocalMachine, projectsKey + "\\Anlage2", "ProjectType"),
        "Single");
}

TEST_F(CommandLineEffectsTest, AProjectRegisteredElsewhereMovesOnlyWhenTheDeveloperSaysYes) {
    const auto registered = demo_->projectFolder();
    const auto copy = copyOfProject("Kopie");
    const std::string question =
        "Das Projekt 'Kesselhaus' ist bereits im Verzeichnis '" + registered.string() +
        "' registriert!\nSoll es auf das Verzeichnis '" + copy.string() + "' umregistriert werden?";
    const std::string path = (copy / "Kesselhaus.kvs").string();

    const StudioRun no = demo_->studio({path}, {{"KORVANA_ANSWER", "no"}});
    EXPECT_EQ(no.process.exitCode, 0) << no.process.err;
    EXPECT_NE(no.process.err.find(question), std::string::npos) << no.process.err;
    EXPECT_FALSE(no.report) << "the IDE was started";
    EXPECT_EQ(registeredPath("Kesselhaus"), registered.string());

    const StudioRun yes = demo_->studio({path}, {{"KORVANA_ANSWER", "yes"}});
    EXPECT_EQ(yes.process.exitCode, 0) << yes.process.err;
    EXPECT_NE(yes.process.err.find(question), std::string::npos) << yes.process.err;
    EXPECT_EQ(registeredPath("Kesselhaus"), copy.string());
    ASSERT_TRUE(yes.report) << yes.process.err;
    EXPECT_EQ(yes.report->at("arguments"),
              nlohmann::json::array({(copy / "Kesselhaus.vbp").string()}));
}

// A registration the command line asks for and that cannot be made says why,
// ends with exit code 1 and leaves the machine's hive byte for byte as it was.
TEST_F(CommandLineEffectsTest, FailedRegistrationsSayWhyAndLeaveTheHiveAsItWas) {
    const auto odd = demo_->path() / "Fremd";
    std::filesystem::create_directories(odd);
    writeFile(odd / "Notiz.kvs", "[Global]\r\nProjectType=Single\r\n");
    writeFile(odd / "Pl\"ant.kvs", "");
    {
        sqlite::Database foreign((odd / "Fremd.kvs").string(), sqlite::Database::Mode::Create);
        foreign.exec("CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)");
    }
    // A copy of the sample whose project file is no database: moving the
    // registration there is asked for, and must not happen.
    const auto copy = demo_->path() / "Kaputt" / "Kesselhaus";
    std::filesystem::create_directories(copy);
    writeFile(copy / "Kesselhaus.kvs", "not a database");
    const auto hive = demo_->path() / "registry" / "HKEY_LOCAL_MACHINE.reg";
    const std::string before = readFile(hive);
    const std::string root = demo_->path().string();

    struct Case {
        std::string argument;
        std::string message;
    };
    const Case cases[] = {
        {"-r=" + root + "/Nirgendwo/Anlage.kvs",
         "'Anlage' cannot be registered because the directory '" + root +
             "/Nirgendwo' does not exist!"},
        {"-r=" + root + "/Fremd/Anlage.kvs", "'Anlage' cannot be registered because the file '" +
                                                 root + "/Fremd/Anlage.kvs' does not exist!"},
        {"-r=" + root + "/Fremd",
         "'Fremd' cannot be registered because the file '" + root + "/Fremd' does not exist!"},
        {"-r=" + root + "/Fremd/Notiz.kvs",
         "'Notiz' cannot be registered because the file '" + root +
             "/Fremd/Notiz.kvs' is not a KorvanaStudio project database!"},
        {"-r=" + root + "/Fremd/Fremd.kvs",
         "'Fremd' cannot be registered because the file '" + root +
             "/Fremd/Fremd.kvs' is not a KorvanaStudio project database!"},
        {"-r=" + root + "/Fremd/Pl\"ant.kvs", "'Pl\"ant' is not a valid project name!"},
        {root + "/Fremd/Notiz.kvs",
         "'Notiz' cannot be registered because the file '" + root +
             "/Fremd/Notiz.kvs' is not a KorvanaStudio project database!"},
        {(copy / "Kesselhaus.kvs").string(),
         "'Kesselhaus' cannot be registered because the file '" +
             (copy / "Kesselhaus.kvs").string() + "' is not a KorvanaStudio project database!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        const StudioRun run = demo_->studio({c.argument}, {{"KORVANA_ANSWER", "yes"}});
        EXPECT_EQ(run.process.exitCode, 1) << run.process.err;
        EXPECT_NE(run.process.err.find("KorvanaStudio [warning]: " + c.message), std::string::npos)
            << run.process.err;
        EXPECT_FALSE(run.report) << "the IDE was started";
        EXPECT_EQ(readFile(hive), before);
    }
}

TEST_F(CommandLineEffectsTest, WithoutVisualBasicTheStudioSaysSoAndEnds) {
    // The registry still names both folders, but neither holds the IDE.
    const auto aside = demo_->scratch("ide-aside");
    std::filesystem::rename(demo_->vb6Executable(), aside / "VB6.exe");
    std::filesystem::rename(demo_->vb5Executable(), aside / "VB5.exe");

    const StudioRun run = demo_->studio({"-p=Kesselhaus"});

    std::filesystem::rename(aside / "VB6.exe", demo_->vb6Executable());
    std::filesystem::rename(aside / "VB5.exe", demo_->vb5Executable());
    EXPECT_EQ(run.process.exitCode, 0) << run.process.err;
    // The demo installation speaks English: the title is the English one,
    // the text exists only in German.
    EXPECT_NE(run.process.err.find("KorvanaStudio   (Message 93) [error]: Korvana kann nicht "
                                   "gestartet werden, da keine Installation von Visual Basic "
                                   "gefunden wurde."),
              std::string::npos)
        << run.process.err;
    EXPECT_FALSE(run.report) << "the IDE was started";
}

} // namespace
} // namespace korvana::test
