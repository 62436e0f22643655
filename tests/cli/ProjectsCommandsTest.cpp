#include "db/Sqlite.h"
#include "platform/FileRegistry.h"
#include "services/ConfigurationComponent.h"
#include "support/KvsProcess.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"
#include "text/TextService.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::Hive;
using korvana::test::KvsRun;
using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;
using testing::HasSubstr;

constexpr const char* projectsKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";

// kvs in a scratch system root; stderr is dropped, the exit code tells.
KvsRun kvs(const ScratchDir& scratch, const std::vector<std::string>& arguments) {
    return korvana::test::runKvs(scratch / "root", arguments);
}

class KvsProjects : public testing::Test {
  protected:
    korvana::FileRegistry registry() const {
        return korvana::FileRegistry(scratch / "root" / "registry");
    }

    std::string makeProject(const std::string& name, const std::string& type) {
        const auto folder = scratch / "projects" / name;
        fs::create_directories(folder);
        const auto file = folder / (name + ".kvs");
        korvana::test::makeProjectDatabase(file);
        auto reg = registry();
        korvana::ConfigurationComponent writer(reg);
        const auto handle = writer.OpenProject(file.string());
        writer.SetValue(handle, "Global", "ProjectType", korvana::SettingValue{type});
        writer.CloseProject(handle);
        return folder.string();
    }

    ScratchDir scratch;
};

TEST_F(KvsProjects, RegisterListAndDeregister) {
    const auto plant = makeProject("Plant1", "Single");
    const auto server = makeProject("Server1", "Server");
    EXPECT_EQ(kvs(scratch, {"projects", "register", plant, "Plant1"}).exitCode, 0);
    EXPECT_EQ(kvs(scratch, {"projects", "register", server, "Server1"}).exitCode, 0);

    const auto all = kvs(scratch, {"projects", "list"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out, "Plant1\t" + plant + "\tSingle\nServer1\t" + server + "\tServer\n");
    EXPECT_EQ(kvs(scratch, {"projects", "list", "--mask", "2"}).out,
              "Server1\t" + server + "\tServer\n");

    EXPECT_EQ(kvs(scratch, {"projects", "deregister", "plant1"}).exitCode, 0);
    EXPECT_EQ(kvs(scratch, {"projects", "deregister", "Plant1"}).exitCode, 1);
    EXPECT_EQ(kvs(scratch, {"projects", "list", "--mask", "1"}).out, "");
    EXPECT_TRUE(fs::exists(plant + "/Plant1.kvs"));
}

// Each failing command says why on stderr, ends with exit code 1 and leaves
// the machine's hive byte for byte as it was.
TEST_F(KvsProjects, FailuresSayWhyAndLeaveTheHiveAsItWas) {
    const auto plant = makeProject("Plant1", "Single");
    ASSERT_EQ(kvs(scratch, {"projects", "register", plant, "Plant1"}).exitCode, 0);
    const auto projects = scratch / "projects";
    fs::create_directories(projects / "Notes");
    writeFile(projects / "Notes" / "Notes.kvs", "[Global]\r\nProjectType=Single\r\n");
    fs::create_directories(projects / "Foreign");
    {
        korvana::sqlite::Database db((projects / "Foreign" / "Foreign.kvs").string(),
                                     korvana::sqlite::Database::Mode::Create);
        db.exec("CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)");
    }
    // The same project file found under another folder does not move Plant1.
    fs::create_directories(projects / "Copy");
    writeFile(projects / "Copy" / "Plant1.kvs", "not a database");
    const fs::path hive = scratch / "root" / "registry" / "HKEY_LOCAL_MACHINE.reg";
    const std::string before = readFile(hive);
    const std::string p = projects.string();

    struct Case {
        std::vector<std::string> arguments;
        std::int32_t text;
        std::vector<std::string> args;
    };
    const std::vector<Case> cases{
        {{"register", "/nonexistent/dir", "X"}, 919, {"X", "/nonexistent/dir"}},
        {{"register", p + "/Notes", "Plant2"}, 920, {"Plant2", p + "/Notes/Plant2.kvs"}},
        {{"register", p + "/Notes", "Notes"}, 922, {"Notes", p + "/Notes/Notes.kvs"}},
        {{"register", p + "/Foreign", "Foreign"}, 922, {"Foreign", p + "/Foreign/Foreign.kvs"}},
        {{"register", p + "/Copy", "Plant1"}, 922, {"Plant1", p + "/Copy/Plant1.kvs"}},
        {{"register", p + "/Plant1", "Plant\"1"}, 921, {"Plant\"1"}},
        {{"register", p, "Plant1/Plant1"}, 921, {"Plant1/Plant1"}},
        {{"register", "/nonexistent/dir", "a:b"}, 921, {"a:b"}},
        {{"register-group", "/nonexistent/dir", "G"}, 919, {"G", "/nonexistent/dir"}},
        {{"register-group", p, "G"}, 920, {"G", p + "/G.vbg"}},
        {{"register-group", p, "G|H"}, 921, {"G|H"}},
        {{"deregister", "Plant2"}, 907, {"Plant2"}},
        {{"deregister", "..\\Projects"}, 921, {"..\\Projects"}},
    };
    const korvana::TextService texts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments.back());
        std::vector<std::string> arguments{"projects"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const KvsRun run =
            korvana::test::runKvs(scratch / "root", arguments, {}, scratch / "stderr.txt");
        EXPECT_EQ(run.exitCode, 1);
        std::vector<korvana::TextArgument> args(c.args.begin(), c.args.end());
        std::string message = texts.LoadText(korvana::TextId{c.text}, args);
        for (auto at = message.find("\r\n"); at != std::string::npos; at = message.find("\r\n")) {
            message.erase(at, 1);
        }
        EXPECT_EQ(run.err, "KorvanaStudio [warning]: " + message + "\n");
        EXPECT_EQ(readFile(hive), before);
    }
}

TEST_F(KvsProjects, ReadOnlyQuestionIsAnsweredByFlag) {
    const auto plant = makeProject("Plant1", "Single");
    ::chmod((plant + "/Plant1.kvs").c_str(), 0444);
    EXPECT_EQ(kvs(scratch, {"projects", "register", "--no", plant, "Plant1"}).exitCode, 1);
    EXPECT_EQ(kvs(scratch, {"projects", "list"}).out, "") << "registered without a type";
    EXPECT_EQ(kvs(scratch, {"projects", "register", "--yes", plant, "Plant1"}).exitCode, 0);
    EXPECT_EQ(kvs(scratch, {"projects", "list"}).out, "Plant1\t" + plant + "\tSingle\n");
    EXPECT_EQ(kvs(scratch, {"projects", "register", "--yes", "--no", plant, "Plant1"}).exitCode, 2);
}

TEST_F(KvsProjects, RecentListsOnlyProjectsThatExist) {
    const auto plant = makeProject("Plant1", "Single");
    ASSERT_EQ(kvs(scratch, {"projects", "register", plant, "Plant1"}).exitCode, 0);
    auto reg = registry();
    const char* recentKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\RecentProjects";
    reg.writeString(Hive::CurrentUser, recentKey, "1", "S:Gone");
    reg.writeString(Hive::CurrentUser, recentKey, "2", "S:Plant1");

    const auto run = kvs(scratch, {"projects", "recent"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "2\tPlant1\t" + plant + "\tSingle\n");
    EXPECT_FALSE(registry().value(Hive::CurrentUser, recentKey, "1"));
}

// Lines for scripts as always; a table aligned by what a terminal shows (an
// umlaut takes one column) with numbers to the right; JSON with the position
// as a number.
TEST_F(KvsProjects, RecentListIsLinesTableOrJson) {
    const auto plant = makeProject("Plant10", "Single");
    const auto cold = makeProject("Kühlhaus", "Client");
    ASSERT_EQ(kvs(scratch, {"projects", "register", plant, "Plant10"}).exitCode, 0);
    ASSERT_EQ(kvs(scratch, {"projects", "register", cold, "Kühlhaus"}).exitCode, 0);
    auto reg = registry();
    const char* recentKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\RecentProjects";
    reg.writeString(Hive::CurrentUser, recentKey, "1", "S:Plant10");
    reg.writeString(Hive::CurrentUser, recentKey, "2", "S:Kühlhaus");

    EXPECT_EQ(kvs(scratch, {"projects", "recent"}).out,
              "1\tPlant10\t" + plant + "\tSingle\n2\tKühlhaus\t" + cold + "\tClient\n");

    // The folder column is as wide as the Kühlhaus folder shows: one less
    // than its bytes.
    const std::size_t folderWidth = cold.size() - 1;
    ASSERT_EQ(plant.size() + 1, folderWidth);
    EXPECT_EQ(kvs(scratch, {"projects", "recent", "--table"}).out,
              "POSITION  NAME      FOLDER" + std::string(folderWidth - 6, ' ') + "  TYPE\n" +
                  "       1  Plant10   " + plant + "   Single\n" + "       2  Kühlhaus  " + cold +
                  "  Client\n");

    const auto json = kvs(scratch, {"projects", "recent", "--json"});
    EXPECT_EQ(json.exitCode, 0);
    std::istringstream lines(json.out);
    std::vector<nlohmann::json> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(nlohmann::json::parse(line));
    }
    EXPECT_EQ(rows,
              (std::vector<nlohmann::json>{
                  {{"position", 1}, {"name", "Plant10"}, {"folder", plant}, {"type", "Single"}},
                  {{"position", 2}, {"name", "Kühlhaus"}, {"folder", cold}, {"type", "Client"}},
              }));

    EXPECT_EQ(kvs(scratch, {"projects", "recent", "--json", "--table"}).exitCode, 2);
}

TEST_F(KvsProjects, TemplatesNeedAnInstallationFolder) {
    EXPECT_EQ(kvs(scratch, {"templates", "list"}).exitCode, 3);

    const auto install = scratch / "install";
    fs::create_directories(install / "Templates" / "Projects" / "Single");
    writeFile(install / "Templates" / "Projects" / "Single" / "_Info.ini",
              "[Info]\r\nName=Einzelplatz\r\nProjectType=Single\r\nComment=One station\r\n");
    fs::create_directories(install / "Templates" / "Projects" / "Group");
    writeFile(install / "Templates" / "Projects" / "Group" / "_Info.ini",
              "[Info]\r\nProjectType=Group\r\n");
    registry().writeString(Hive::LocalMachine, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "Path",
                           install.string());

    const auto run = kvs(scratch, {"templates", "list"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.out, HasSubstr("Einzelplatz\tStandard\tinstalled\tSingle\t(standard icon)\t"));
    EXPECT_THAT(run.out, HasSubstr("\tOne station\n"));
    EXPECT_THAT(run.out, HasSubstr("Group\tStandard\tinstalled\tGroup\t"));
    EXPECT_THAT(kvs(scratch, {"templates", "list", "--add-mode"}).out,
                testing::Not(HasSubstr("Group")));
}

// Folder names need not be UTF-8; JSON must be, so such a byte is replaced
// rather than ending the list with an error.
TEST_F(KvsProjects, JsonListsFolderNamesThatAreNoUtf8) {
    const auto install = scratch / "install";
    const auto folder = install / "Templates" / "Projects" / "Alt\xff";
    fs::create_directories(folder);
    writeFile(folder / "_Info.ini", "[Info]\r\nName=Alt\r\nProjectType=Single\r\n");
    registry().writeString(Hive::LocalMachine, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "Path",
                           install.string());

    const auto run = kvs(scratch, {"templates", "list", "--json"});
    EXPECT_EQ(run.exitCode, 0);
    const auto row = nlohmann::json::parse(run.out.substr(0, run.out.find('\n')));
    EXPECT_EQ(row["name"], "Alt");
    EXPECT_EQ(row["folder"], (install / "Templates" / "Projects").string() + "/Alt\uFFFD");
}

} // namespace
