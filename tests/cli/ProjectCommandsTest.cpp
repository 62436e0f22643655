#include "db/json/DatabaseJson.h"
#include "platform/FileRegistry.h"
#include "services/ConfigurationComponent.h"
#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::Hive;
using korvana::SettingValue;
using korvana::test::KvsRun;
using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;
using testing::HasSubstr;

constexpr const char* installationKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0";
constexpr const char* projectsKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";

// `kvs project ...` run as a whole process against a scratch system root, with
// projects made from the installation's template database.
class KvsProject : public testing::Test {
  protected:
    KvsRun kvs(const std::vector<std::string>& arguments) const {
        return korvana::test::runKvs(scratch / "root", arguments, {}, scratch / "stderr.txt");
    }
    korvana::FileRegistry registry() const {
        return korvana::FileRegistry(scratch / "root" / "registry");
    }

    // folder/name.kvs from the template, with the given "Global" settings.
    fs::path makeProject(const fs::path& folder, const std::string& name,
                         const std::vector<std::pair<std::string, SettingValue>>& global = {
                             {"Designer", SettingValue{std::string("Visual Basic 6.0")}}}) {
        fs::create_directories(folder);
        const auto file = folder / (name + ".kvs");
        korvana::db::json::createDatabaseFromJson(
            file.string(),
            readFile(fs::path(KORVANA_SOURCE_DIR) / "tests/fixtures/template-project.json"));
        auto reg = registry();
        korvana::ConfigurationComponent settings(reg);
        const auto handle = settings.OpenProject(file.string());
        settings.SetValue(handle, "Global", "DesignerProject",
                          SettingValue{std::string(name + ".vbp")});
        for (const auto& [key, value] : global) {
            settings.SetValue(handle, "Global", key, value);
        }
        settings.CloseProject(handle);
        return file;
    }

    // A Visual Basic project file as Windows writes it, linked to a studio project.
    static void writeVbProject(const fs::path& file, const std::string& linkedName) {
        fs::create_directories(file.parent_path());
        writeFile(file, "Type=Exe\r\nName=\"Screens\"\r\n\r\n[Korvana4]\r\nProjectName=" +
                            linkedName + "\r\n");
    }

    void registerFolder(const fs::path& folder, const std::string& name) const {
        ASSERT_EQ(kvs({"projects", "register", folder.string(), name}).exitCode, 0) << name;
    }

    // The "Name=value" lines of a show run.
    static std::vector<std::string> lines(const std::string& out) {
        std::vector<std::string> result;
        std::size_t begin = 0;
        for (std::size_t end; (end = out.find('\n', begin)) != std::string::npos; begin = end + 1) {
            result.push_back(out.substr(begin, end - begin));
        }
        return result;
    }

    ScratchDir scratch;
};

TEST_F(KvsProject, ShowPrintsEveryMemberInItsDeclaredOrder) {
    const auto folder = scratch / "projects" / "Plant1";
    const auto file = makeProject(folder, "Plant1");
    registerFolder(folder, "Plant1");

    const auto byName = kvs({"project", "show", "plant1"});
    EXPECT_EQ(byName.exitCode, 0) << byName.err;
    EXPECT_THAT(lines(byName.out),
                testing::ElementsAre(
                    "ProjectName=plant1", "Path=" + folder.string(), "ProjectFile=" + file.string(),
                    "ProjectType=Single", "EProjectType=1", "EProjectMainType=1",
                    "Designer=Visual Basic 6.0",
                    "DesignerProject=" + (folder / "Plant1.vbp").string(), "EProjectOpen=0",
                    "TemplatePath=", "ServerProject=", "ServerComputerName=", "LCID=0",
                    "LCIDs=", "ServerComponents=", "Projects=", "ProjectVersion=", "Customer=",
                    "Developer=", "Comment="));

    // By its path the family is not read.
    const auto byPath = kvs({"project", "show", file.string()});
    EXPECT_EQ(byPath.exitCode, 0);
    EXPECT_THAT(byPath.out, HasSubstr("\nEProjectMainType=0\nDesigner=Visual Basic 6.0\n"));
    EXPECT_EQ(byPath.err, "");

    // A registration whose type is no project type still loads, with a warning.
    for (const std::string type : {"single", ""}) {
        registry().writeString(Hive::LocalMachine, std::string(projectsKey) + "\\Plant1",
                               "ProjectType", type);
        const auto odd = kvs({"project", "show", "Plant1"});
        EXPECT_EQ(odd.exitCode, 0);
        EXPECT_THAT(odd.out, HasSubstr("\nProjectType=" + type + "\nEProjectType=0\n"));
        EXPECT_THAT(odd.err, HasSubstr("registered with the type '" + type + "'"));
    }
}

TEST_F(KvsProject, MovedProjectKeepsItsRegisteredFolder) {
    const auto registered = scratch / "projects" / "Old";
    makeProject(registered, "Plant1");
    registerFolder(registered, "Plant1");
    const auto moved = makeProject(scratch / "projects" / "New", "Plant1",
                                   {{"Designer", SettingValue{std::string("Moved copy")}}});

    const auto run = kvs({"project", "show", moved.string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.out, HasSubstr("\nPath=" + registered.string() +
                                   "\nProjectFile=" + moved.string() + "\n"));
    EXPECT_THAT(run.out, HasSubstr("\nDesigner=\n")) << "the moved copy's settings are not read";

    // By name, a project whose file has gone from its folder is named as missing there.
    fs::remove(registered / "Plant1.kvs");
    const auto byName = kvs({"project", "show", "Plant1"});
    EXPECT_EQ(byName.exitCode, 1);
    EXPECT_THAT(byName.err, HasSubstr("Die Projektdatei 'Plant1.kvs' existiert nicht im "
                                      "registrierten Verzeichnis '" +
                                      registered.string() + "'!"));
}

TEST_F(KvsProject, GroupLoadsRelativeAndAbsoluteMembers) {
    const auto line = scratch / "projects" / "Line";
    const auto server = line / "Server";
    const auto client = scratch / "elsewhere" / "Client";
    makeProject(server, "LineServer");
    makeProject(client, "LineClient");
    writeVbProject(server / "Server.vbp", "LineServer");
    writeVbProject(client / "Client.vbp", "LineClient");
    writeVbProject(line / "Tool.vbp", "");
    writeFile(line / "Line.vbg", "\xEF\xBB\xBFVBGROUP 5.0\r\nStartupProject=Server\\Server.vbp\r\n"
                                 "Project=" +
                                     (client / "Client.vbp").string() + "\r\nProject=Tool.vbp\r\n");
    ASSERT_EQ(kvs({"projects", "register-group", line.string(), "Line"}).exitCode, 0);

    for (const std::string& argument : {std::string("Line"), (line / "Line.vbg").string()}) {
        SCOPED_TRACE(argument);
        const auto run = kvs({"project", "show", argument});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_THAT(run.out, HasSubstr("\nPath=" + line.string() +
                                       "\nProjectFile=" + (line / "Line.vbg").string() +
                                       "\nProjectType=Group\nEProjectType=32\n"));
        EXPECT_THAT(run.out, HasSubstr("\nDesigner=Visual Basic 6.0\nDesignerProject=" +
                                       (line / "Line.vbg").string() + "\n"));
        EXPECT_THAT(run.out, HasSubstr("\nProjects=LineServer,LineClient\n"));
    }

    // A member that has gone is passed over, and said so on stderr.
    fs::remove(client / "Client.vbp");
    const auto shorter = kvs({"project", "show", "Line"});
    EXPECT_EQ(shorter.exitCode, 0) << shorter.err;
    EXPECT_THAT(shorter.out, HasSubstr("\nProjects=LineServer\n"));
    EXPECT_THAT(shorter.err, HasSubstr((client / "Client.vbp").string()));
    EXPECT_THAT(shorter.err, HasSubstr("wird übergangen"));

    // A group file that has gone is not found, by name or by path.
    fs::remove(line / "Line.vbg");
    for (const std::string& argument : {std::string("Line"), (line / "Line.vbg").string()}) {
        SCOPED_TRACE(argument);
        const auto gone = kvs({"project", "show", argument});
        EXPECT_EQ(gone.exitCode, 1);
        EXPECT_THAT(gone.err, HasSubstr("the group file '" + (line / "Line.vbg").string() +
                                        "' does not exist"));
    }
}

TEST_F(KvsProject, NamesThatCouldLeaveTheirFolderAreNotRegistered) {
    const auto folder = scratch / "projects" / "Plant1";
    makeProject(folder, "Plant1");
    registerFolder(folder, "Plant1");
    for (const std::string name : {"..", "../Plant1", "Plant1/..", "..\\Projects\\Plant1"}) {
        SCOPED_TRACE(name);
        const auto run = kvs({"project", "show", name});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(run.err, HasSubstr("Das Projekt '" + name + "' ist nicht registriert!"));
        EXPECT_THAT(run.out, HasSubstr("\nPath=\n"));
    }
}

TEST_F(KvsProject, LanguagesAreNamedInTheUserInterfaceLanguage) {
    const auto folder = scratch / "projects" / "Plant1";
    makeProject(folder, "Plant1", {{"LCID", SettingValue{std::int32_t{1033}}}});
    registerFolder(folder, "Plant1");
    struct Case {
        std::vector<std::string> options;
        std::string expected;
    };
    const std::vector<Case> cases{
        {{},
         "L1031\t 1031\tDeutsch (Deutschland)\tbold\n"
         "L1033\t 1033\tEnglisch (Vereinigte Staaten)\tbold,checked\n"},
        {{"--lcid", "1033"},
         "L1031\t 1031\tGerman (Germany)\tbold\n"
         "L1033\t 1033\tEnglish (United States)\tbold,checked\n"},
    };
    for (const auto& [options, expected] : cases) {
        for (const std::string& project :
             {std::string("Plant1"), (folder / "Plant1.kvs").string()}) {
            std::vector<std::string> arguments{"project", "languages", project};
            arguments.insert(arguments.end(), options.begin(), options.end());
            const auto run = kvs(arguments);
            EXPECT_EQ(run.exitCode, 0) << project << run.err;
            EXPECT_EQ(run.out, expected) << project;
        }
    }
    // The installation's language is the default.
    registry().writeNumber(Hive::LocalMachine, installationKey, "LCID", 1033);
    EXPECT_EQ(kvs({"project", "languages", "Plant1"}).out, cases[1].expected);

    const auto unregistered = kvs({"project", "languages", "../Plant1"});
    EXPECT_EQ(unregistered.exitCode, 3);
    EXPECT_EQ(unregistered.out, "");
    EXPECT_THAT(unregistered.err, HasSubstr("is not registered"));
}

TEST_F(KvsProject, ComponentsCarryTheirDependenciesAndFormulasOnlyForTheStandardFamily) {
    const auto folder = scratch / "projects" / "Plant1";
    const auto file = makeProject(folder, "Plant1");
    registerFolder(folder, "Plant1");
    {
        auto reg = registry();
        const std::string components = std::string(installationKey) + "\\ServerComponents";
        for (const auto& [name, description, dependencies] :
             std::vector<std::tuple<std::string, std::string, std::string>>{
                 {"KVEKernel", "Kernel", ""},
                 {"KVPdb", "Process database", ""},
                 {"KVAlarm", "Alarms", "KVPdb"},
                 {"KVFormula", "Formulas", "KVPdb;KVAlarm"},
             }) {
            reg.writeString(Hive::LocalMachine, components + "\\" + name, "Description",
                            description);
            reg.writeString(Hive::LocalMachine, components + "\\" + name, "Dependencies",
                            dependencies);
        }
        korvana::ConfigurationComponent settings(reg);
        const auto handle = settings.OpenProject(file.string());
        settings.SetValue(handle, "ServerComponents", "KVAlarm", SettingValue{std::int16_t{1}});
        settings.SetValue(handle, "ServerComponents", "KVFormula", SettingValue{std::int16_t{1}});
        settings.CloseProject(handle);
    }
    const std::string alarm = "KVAlarm\tAlarms\tKVPdb\tchecked\n";
    const std::string formula = "KVFormula\tFormulas\tKVPdb;KVAlarm\tchecked\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"project", "components", "Plant1"}, alarm + formula},
        {{"project", "components", file.string(), "--family", "0"}, alarm},
    };
    for (const auto& [arguments, expected] : cases) {
        const auto run = kvs(arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments.back() << run.err;
        EXPECT_EQ(run.out, expected) << arguments.back();
    }
    EXPECT_EQ(kvs({"project", "components", "Plant1", "--family", "2"}).exitCode, 2);

    // Without the project the components are still offered, none checked.
    const auto missing = kvs({"project", "components", "Gone", "--family", "0"});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_EQ(missing.out, "KVAlarm\tAlarms\tKVPdb\t\n");
}

} // namespace
