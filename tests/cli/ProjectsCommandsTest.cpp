#include "platform/FileRegistry.h"
#include "services/ConfigurationComponent.h"
#include "support/KvsProcess.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::Hive;
using korvana::test::KvsRun;
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
    EXPECT_EQ(kvs(scratch, {"projects", "register", plant, "Missing"}).exitCode, 1);

    const auto all = kvs(scratch, {"projects", "list"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out, "Plant1\t" + plant + "\tSingle\nServer1\t" + server + "\tServer\n")
        << "the failed registration is gone again";
    EXPECT_EQ(kvs(scratch, {"projects", "list", "--mask", "2"}).out,
              "Server1\t" + server + "\tServer\n");

    EXPECT_EQ(kvs(scratch, {"projects", "deregister", "plant1"}).exitCode, 0);
    EXPECT_EQ(kvs(scratch, {"projects", "deregister", "Plant1"}).exitCode, 1);
    EXPECT_EQ(kvs(scratch, {"projects", "list", "--mask", "1"}).out, "");
    EXPECT_TRUE(fs::exists(plant + "/Plant1.kvs"));
}

TEST_F(KvsProjects, RefusesNamesThatLeaveTheFolder) {
    makeProject("Plant1", "Single");
    EXPECT_EQ(
        kvs(scratch, {"projects", "register", (scratch / "projects").string(), "Plant1/Plant1"})
            .exitCode,
        1);
    EXPECT_EQ(kvs(scratch, {"projects", "deregister", "..\\Projects"}).exitCode, 1);
    EXPECT_TRUE(registry().subKeys(Hive::LocalMachine, projectsKey).empty());
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

} // namespace
