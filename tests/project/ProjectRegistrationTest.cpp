#include "project/ProjectRegistration.h"

#include "RegistrationFixture.h"

#include <gmock/gmock.h>

namespace korvana::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

class Registration : public RegistrationFixture {
  protected:
    Registration()
        : configuration(registry), registration(registry, configuration, messages, texts) {}

    std::vector<std::string> listed(ProjectTypeMask mask) {
        std::vector<std::string> names;
        for (const auto& row : registration.ListRegisteredProjects(mask)) {
            names.push_back(row.name);
        }
        return names;
    }

    ConfigurationComponent configuration;
    ProjectRegistration registration;
};

TEST_F(Registration, CopiesTypeAndVersionFromTheProjectFile) {
    const auto folder = makeProject("Plant1", "Plant1", "Terminal Server", "4.04.000");
    ASSERT_TRUE(registration.RegisterProject(folder + "/", "Plant1"));
    EXPECT_EQ(registered("Plant1", "Path"), folder) << "no trailing separator";
    EXPECT_EQ(registered("Plant1", "ProjectType"), "Terminal Server");
    EXPECT_EQ(registered("Plant1", "KorvanaVersion"), "4.04.000");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(configuration.OpenHandleCount(), 0u);
}

TEST_F(Registration, MissingProjectFileLeavesOnlyThePathUntilTheNextListing) {
    const auto folder = (scratch / "Nowhere").string();
    EXPECT_FALSE(registration.RegisterProject(folder, "Ghost"));
    EXPECT_TRUE(messages.shown().empty()) << "the read-only check fails silently";
    EXPECT_EQ(registered("Ghost", "Path"), folder);
    EXPECT_EQ(registered("Ghost", "ProjectType"), "");

    EXPECT_TRUE(listed(ProjectTypeMask::all()).empty());
    EXPECT_FALSE(isRegistered("Ghost"));
}

TEST_F(Registration, ReadOnlyProjectAsksAndNoKeepsItReadOnly) {
    const auto folder = makeProject("P", "Plant1");
    makeReadOnly(folder + "/Plant1.kvs");
    messages.queueAnswer(Answer::No);

    EXPECT_FALSE(registration.RegisterProject(folder, "Plant1"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{914}));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::question());
    EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio");
    EXPECT_EQ(registered("Plant1", "Path"), folder);
    EXPECT_FALSE(
        registry.value(Hive::LocalMachine, std::string(projectsKey) + "\\Plant1", "ProjectType"));
    EXPECT_FALSE(ownerMayWrite(folder + "/Plant1.kvs"));
}

TEST_F(Registration, ReadOnlyProjectAnsweredYesBecomesWritableAndIsRegistered) {
    const auto folder = makeProject("P", "Plant1", "Client");
    makeReadOnly(folder + "/Plant1.kvs");
    messages.queueAnswer(Answer::Yes);

    EXPECT_TRUE(registration.RegisterProject(folder, "Plant1"));
    EXPECT_TRUE(ownerMayWrite(folder + "/Plant1.kvs"));
    EXPECT_EQ(registered("Plant1", "ProjectType"), "Client");
}

TEST_F(Registration, NamesThatCouldLeaveTheFolderAreRefusedAsNotRegistered) {
    makeProject("P", "Plant1");
    for (const std::string name : {"../Plant1", "P/Plant1", "P\\Plant1", "..", ""}) {
        SCOPED_TRACE(name);
        messages = ScriptedMessageService();
        EXPECT_FALSE(registration.RegisterProject(scratch.path().string(), name));
        EXPECT_FALSE(registration.RegisterGroup(scratch.path().string(), name));
        ASSERT_EQ(messages.shown().size(), 2u);
        EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{907}, {name}));
        EXPECT_EQ(messages.shown()[0].style, MessageStyle::exclamation());
    }
    EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, projectsKey).empty());
}

TEST_F(Registration, FileThatIsNotAProjectIsReportedAsAnError) {
    writeFile(scratch / "Broken.kvs", "this is not a database");
    EXPECT_FALSE(registration.RegisterProject(scratch.path().string(), "Broken"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_THAT(messages.shown()[0].text, StartsWith("Error in function 'RegisterProject'!\r\n("));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::errorReport());
    EXPECT_EQ(registered("Broken", "Path"), scratch.path().string()) << "what was written stays";
}

TEST_F(Registration, ListingFiltersByTypeMaskAndRemovesStaleEntries) {
    registerRaw("Single1", makeProject("a", "Single1"), "Single");
    registerRaw("TS", makeProject("b", "TS"), "Terminal Server");
    registerRaw("Odd", makeProject("c", "Odd"), "single");
    registerRaw("Gone", (scratch / "gone").string(), "Server");
    registerRaw("NoPath", "", "Single");
    std::filesystem::create_directories(scratch / "g");
    writeFile(scratch / "g" / "Grp.vbg", "VBGROUP 5.0\r\n");
    registerRaw("Grp", (scratch / "g").string(), "Group");
    // A group registered as a project type has no .kvs beside it.
    registerRaw("Mislabelled", (scratch / "g").string(), "Single");
    writeFile(scratch / "g" / "Mislabelled.vbg", "VBGROUP 5.0\r\n");

    EXPECT_THAT(listed(ProjectTypeMask{8}), ElementsAre("TS"));
    EXPECT_THAT(listed(ProjectTypeMask{7}), ElementsAre("Single1"));
    EXPECT_THAT(listed(ProjectTypeMask::allButGroups()), ElementsAre("Single1", "TS"));
    EXPECT_THAT(listed(ProjectTypeMask::all()), ElementsAre("Single1", "TS", "Grp"));

    EXPECT_FALSE(isRegistered("Gone"));
    EXPECT_FALSE(isRegistered("NoPath"));
    EXPECT_FALSE(isRegistered("Mislabelled"));
    EXPECT_TRUE(isRegistered("Odd")) << "an unknown type is never listed but not stale";
    EXPECT_TRUE(messages.shown().empty());

    const auto rows = registration.ListRegisteredProjects(ProjectTypeMask{1});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].key, "S:single1");
    EXPECT_EQ(rows[0].path, (scratch / "a").string());
    EXPECT_EQ(rows[0].typeName, "Single");
}

TEST_F(Registration, DeregisteringDeletesOnlyTheRegistration) {
    const auto folder = makeProject("P", "Plant1");
    ASSERT_TRUE(registration.RegisterProject(folder, "Plant1"));
    EXPECT_TRUE(registration.DeregisterProject("PLANT1"));
    EXPECT_FALSE(isRegistered("Plant1"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/Plant1.kvs"));
    EXPECT_FALSE(registration.DeregisterProject("Plant1"));
    EXPECT_FALSE(registration.DeregisterProject("../Plant1"));
}

// Group files as Visual Basic writes them on Windows.
class GroupRegistration : public Registration {
  protected:
    // A Visual Basic project file linked (or not) to a studio project.
    void makeVbp(const std::string& relative, const std::string& projectName) {
        std::string text = "\xEF\xBB\xBFType=Exe\r\nName=\"Screens\"\r\n";
        if (!projectName.empty()) {
            text += "\r\n[KORVANA4]\r\nprojectname=" + projectName + "\r\n";
        }
        std::filesystem::create_directories((scratch / relative).parent_path());
        writeFile(scratch / relative, text);
    }
    std::string groupFolder() const { return scratch.path().string(); }
};

TEST_F(GroupRegistration, RegistersEveryMemberGivenRelativeOrAbsolute) {
    makeProject("Server", "PlantServer", "Server");
    makeProject("Client", "PlantClient", "Client");
    makeVbp("Server/Server.vbp", "PlantServer");
    makeVbp("Client/Client.vbp", "PlantClient");
    makeVbp("Other/Tool.vbp", "");
    writeFile(scratch / "Plant.vbg",
              "\xEF\xBB\xBFVBGROUP 5.0\r\nStartupProject=Server\\Server.vbp\r\n"
              "Project=" +
                  (scratch / "Client" / "Client.vbp").string() +
                  "\r\nproject=.\\Other\\..\\Other\\Tool.vbp\r\n");

    ASSERT_TRUE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(registered("Plant", "Path"), groupFolder());
    EXPECT_EQ(registered("Plant", "ProjectType"), "Group");
    EXPECT_EQ(registered("PlantServer", "Path"), (scratch / "Server").string());
    EXPECT_EQ(registered("PlantServer", "ProjectType"), "Server");
    EXPECT_EQ(registered("PlantClient", "Path"), (scratch / "Client").string());
    EXPECT_THAT(listed(ProjectTypeMask{32}), ElementsAre("Plant"));
}

TEST_F(GroupRegistration, MemberWithoutProjectFileIsReportedAndTheGroupStillRegistered) {
    makeProject("Server", "PlantServer", "Server");
    makeVbp("Server/Server.vbp", "PlantServer");
    makeVbp("Client/Client.vbp", "PlantClient");
    writeFile(scratch / "Plant.vbg",
              "VBGROUP 5.0\nProject=Server/Server.vbp\nProject=Client\\Client.vbp\n");

    EXPECT_TRUE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(), ElementsAre(texts.LoadText(TextId{916}, {"PlantClient", "Plant"})));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::exclamation());
    EXPECT_TRUE(isRegistered("Plant"));
    EXPECT_TRUE(isRegistered("PlantServer"));
    EXPECT_FALSE(isRegistered("PlantClient"));
}

TEST_F(GroupRegistration, MemberNameLeadingOutOfItsFolderIsTreatedAsMissing) {
    makeProject(".", "Outside");
    makeVbp("Member/Member.vbp", "../Outside");
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nProject=Member\\Member.vbp\r\n");

    EXPECT_TRUE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(), ElementsAre(texts.LoadText(TextId{916}, {"../Outside", "Plant"})));
    EXPECT_FALSE(isRegistered("Outside"));
    EXPECT_EQ(registry.subKeys(Hive::LocalMachine, projectsKey).size(), 1u);
}

TEST_F(GroupRegistration, MemberThatFailsToRegisterFailsTheGroup) {
    const auto folder = makeProject("Server", "PlantServer", "Server");
    makeReadOnly(folder + "/PlantServer.kvs");
    makeVbp("Server/Server.vbp", "PlantServer");
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nProject=Server\\Server.vbp\r\n");
    messages.queueAnswer(Answer::No);

    EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(),
                ElementsAre(texts.LoadText(TextId{914}), texts.LoadText(TextId{917}, {"Plant"})));
    EXPECT_FALSE(isRegistered("Plant"));
}

TEST_F(GroupRegistration, GroupWithoutStudioProjectsRegistersNothing) {
    makeVbp("A/A.vbp", "");
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nProject=A\\A.vbp");

    EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(), ElementsAre(texts.LoadText(TextId{915}, {"Plant"})));
    EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, projectsKey).empty());
}

// Nothing is registered from a group file that cannot be read whole, not even
// the members it names before the fault.
TEST_F(GroupRegistration, UnreadableGroupFilesAreReportedAsErrors) {
    makeProject("Server", "PlantServer", "Server");
    makeVbp("Server/Server.vbp", "PlantServer");
    writeFile(scratch / "Binary.vbp", std::string("Type=Exe\0\x01[Korvana4]", 20));
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "(62: The group file '" + groupFolder() + "/Plant.vbg' is empty"},
        {"\xEF\xBB\xBF", "is empty"},
        {std::string("VBGROUP\0\x01\x02=x", 13), "is not a text file"},
        {"VBGROUP 5.0\r\nProject=Server\\Server.vbp\r\nProject=Gone\\Gone.vbp\r\n",
         "(53: The group file '" + groupFolder() +
             "/Plant.vbg' names the project 'Gone\\Gone.vbp', whose file does not exist"},
        {"VBGROUP 5.0\r\nProject=Server\\Server.vbp\r\nProject=Binary.vbp\r\n",
         "is not a text file"},
    };
    for (const auto& [content, reason] : cases) {
        SCOPED_TRACE(reason);
        messages = ScriptedMessageService();
        writeFile(scratch / "Plant.vbg", content);
        EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_THAT(messages.shown()[0].text,
                    StartsWith("Error in function 'RegisterGroup'!\r\n("));
        EXPECT_THAT(messages.shown()[0].text, HasSubstr(reason));
        EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, projectsKey).empty());
    }
    std::filesystem::remove(scratch / "Plant.vbg");
    messages = ScriptedMessageService();
    EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(),
                ElementsAre(StartsWith("Error in function 'RegisterGroup'!\r\n(53: ")));
    EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, projectsKey).empty());
}

} // namespace
} // namespace korvana::test
