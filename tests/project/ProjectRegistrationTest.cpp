#include "project/ProjectRegistration.h"

#include "RegistrationFixture.h"
#include "db/Sqlite.h"
#include "platform/Error.h"

#include <algorithm>
#include <functional>
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

// Every cause of a failed registration is told, and the registry is left as
// it was, also the registration of the same name that a new one would replace.
TEST_F(Registration, FailedRegistrationSaysWhyAndLeavesTheRegistryAsItWas) {
    const auto kept = makeProject("Kept", "Plant1");
    ASSERT_TRUE(registration.RegisterProject(kept, "Plant1"));
    std::filesystem::create_directories(scratch / "Empty");
    const auto folder = scratch.path().string();
    writeFile(scratch / "Text.kvs", "[Global]\r\nProjectType=Single\r\n");
    writeFile(scratch / "Nothing.kvs", "");
    // The header of a Jet 4.0 database, as project files from Windows begin.
    std::string jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    jet[0x14] = 1;
    writeFile(scratch / "Jet.kvs", jet);
    {
        sqlite::Database foreign((scratch / "Foreign.kvs").string(),
                                 sqlite::Database::Mode::Create);
        foreign.exec("CREATE TABLE TcfgBinary (Name TEXT)");
    }
    std::filesystem::create_directories(scratch / "Moved");
    writeFile(scratch / "Moved" / "Plant1.kvs", "not a database");
    const std::string before = snapshot(registry, Hive::LocalMachine);

    struct Case {
        std::string folder;
        std::string name;
        std::int32_t text;
        std::vector<std::string> args;
    };
    std::vector<Case> cases{
        {folder + "/Nowhere", "Plant2", 919, {"Plant2", folder + "/Nowhere"}},
        {folder + "/Empty", "Plant2", 920, {"Plant2", folder + "/Empty/Plant2.kvs"}},
        {folder + "/Empty/", "Plant2", 920, {"Plant2", folder + "/Empty/Plant2.kvs"}},
        {folder, "Text", 922, {"Text", folder + "/Text.kvs"}},
        {folder, "Nothing", 922, {"Nothing", folder + "/Nothing.kvs"}},
        {folder, "Foreign", 922, {"Foreign", folder + "/Foreign.kvs"}},
        {folder, "Jet", 941, {"Jet", folder + "/Jet.kvs"}},
        // a project file that cannot be read never replaces a registration
        {folder + "/Moved", "Plant1", 922, {"Plant1", folder + "/Moved/Plant1.kvs"}},
        {folder + "/Nowhere", "plant1", 919, {"plant1", folder + "/Nowhere"}},
    };
    // Names that are no file name on Windows, or could lead elsewhere.
    for (const std::string& name :
         std::vector<std::string>{"Pl\"ant", "C:Plant", "Plant*", "Plant?", "<Plant>", "Pl|ant",
                                  "../Plant1", "Kept/Plant1", "Kept\\Plant1", "..", ".", "",
                                  "Pl\001ant", std::string("Pl\0ant", 6)}) {
        std::string shown = name;
        std::replace_if(
            shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
            '?');
        cases.push_back({kept, name, 921, {shown}});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.name + "' in " + c.folder);
        messages = ScriptedMessageService();
        EXPECT_FALSE(registration.RegisterProject(c.folder, c.name));
        std::vector<TextArgument> args(c.args.begin(), c.args.end());
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{c.text}, args));
        EXPECT_EQ(messages.shown()[0].style, MessageStyle::exclamation());
        EXPECT_EQ(snapshot(registry, Hive::LocalMachine), before);
    }
    EXPECT_EQ(configuration.OpenHandleCount(), 0u);
}

TEST_F(Registration, ReadOnlyProjectAsksAndNoKeepsItReadOnlyAndUnregistered) {
    const auto folder = makeProject("P", "Plant1");
    makeReadOnly(folder + "/Plant1.kvs");
    messages.queueAnswer(Answer::No);

    EXPECT_FALSE(registration.RegisterProject(folder, "Plant1"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{914}));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::question());
    EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio");
    EXPECT_FALSE(registry.keyExists(Hive::LocalMachine, "Software"));
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

TEST_F(Registration, UnreadableSettingsAreReportedAsAnErrorAndNothingIsWritten) {
    const auto folder = makeProject("P", "Plant1");
    {
        sqlite::Database db(folder + "/Plant1.kvs", sqlite::Database::Mode::ReadWrite);
        db.exec("UPDATE kv_settings SET Type = 99 WHERE Key = 'ProjectType'");
    }
    EXPECT_FALSE(registration.RegisterProject(folder, "Plant1"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_THAT(messages.shown()[0].text,
                StartsWith("Error in function 'RegisterProject'!\r\n(13: "));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::errorReport());
    EXPECT_FALSE(registry.keyExists(Hive::LocalMachine, "Software"));
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
    // Listing everything hides nothing: a type the studio does not know is
    // still a project file the developer can open.
    EXPECT_THAT(listed(ProjectTypeMask::all()), ElementsAre("Single1", "TS", "Odd", "Grp"));

    EXPECT_FALSE(isRegistered("Gone"));
    EXPECT_FALSE(isRegistered("NoPath"));
    EXPECT_FALSE(isRegistered("Mislabelled"));
    EXPECT_TRUE(isRegistered("Odd")) << "an unknown type is not stale";
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
    EXPECT_TRUE(messages.shown().empty());
}

// A name registered before names were held to file-name characters can still
// be deleted; a name that could reach another key is no name at all.
TEST_F(Registration, FailedDeregistrationSaysWhy) {
    registerRaw("Pl\"ant", (scratch / "P").string(), "Single");
    EXPECT_TRUE(registration.DeregisterProject("pl\"ant"));
    EXPECT_TRUE(messages.shown().empty());

    registerRaw("Plant1", (scratch / "P").string(), "Single");
    const std::string before = snapshot(registry, Hive::LocalMachine);
    const std::vector<std::pair<std::string, std::int32_t>> cases{
        {"Plant2", 907}, {"Pl\"ant", 907}, {"../Plant1", 921}, {"P\\Plant1", 921}, {"", 921}};
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        messages = ScriptedMessageService();
        EXPECT_FALSE(registration.DeregisterProject(name));
        EXPECT_THAT(shownTexts(), ElementsAre(texts.LoadText(TextId{text}, {name})));
        EXPECT_EQ(snapshot(registry, Hive::LocalMachine), before);
    }
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

TEST_F(GroupRegistration, MissingAndDrivePathMembersArePassedOverAndTold) {
    makeProject("Server", "PlantServer", "Server");
    makeVbp("Server/Server.vbp", "PlantServer");
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nStartupProject=Server\\Server.vbp\r\n"
                                     "Project=C:\\Other\\Two.vbp\r\nProject=Gone.vbp\r\n");

    EXPECT_TRUE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(),
                ElementsAre(texts.LoadText(TextId{940}, {"C:\\Other\\Two.vbp", "Plant"}),
                            texts.LoadText(TextId{940}, {"Gone.vbp", "Plant"})));
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::information());
    EXPECT_TRUE(isRegistered("Plant"));
    EXPECT_TRUE(isRegistered("PlantServer"));

    // With nothing left but passed-over members the group holds no project.
    messages = ScriptedMessageService();
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nProject=C:\\Other\\Two.vbp\r\n");
    EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(),
                ElementsAre(texts.LoadText(TextId{940}, {"C:\\Other\\Two.vbp", "Plant"}),
                            texts.LoadText(TextId{915}, {"Plant"})));
}

TEST_F(GroupRegistration, MemberNameLeadingOutOfItsFolderIsTreatedAsMissing) {
    makeProject(".", "Outside");
    makeVbp("Member/Member.vbp", "../Outside");
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nProject=Member\\Member.vbp\r\n");

    EXPECT_TRUE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(), ElementsAre(texts.LoadText(TextId{916}, {"../Outside", "Plant"})));
    EXPECT_FALSE(isRegistered("Outside"));
    EXPECT_EQ(registry.subKeys(Hive::LocalMachine, keys::projects).size(), 1u);
}

TEST_F(GroupRegistration, MemberThatFailsToRegisterFailsTheGroupAndTakesTheOthersBack) {
    makeProject("Client", "PlantClient", "Client");
    makeVbp("Client/Client.vbp", "PlantClient");
    const auto folder = makeProject("Server", "PlantServer", "Server");
    makeReadOnly(folder + "/PlantServer.kvs");
    makeVbp("Server/Server.vbp", "PlantServer");
    writeFile(scratch / "Plant.vbg",
              "VBGROUP 5.0\r\nProject=Client\\Client.vbp\r\nProject=Server\\Server.vbp\r\n");
    messages.queueAnswer(Answer::No);

    EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(),
                ElementsAre(texts.LoadText(TextId{914}), texts.LoadText(TextId{917}, {"Plant"})));
    EXPECT_FALSE(registry.keyExists(Hive::LocalMachine, "Software"));
}
TEST_F(GroupRegistration, GroupWithoutStudioProjectsRegistersNothing) {
    makeVbp("A/A.vbp", "");
    writeFile(scratch / "Plant.vbg", "VBGROUP 5.0\r\nProject=A\\A.vbp");

    EXPECT_FALSE(registration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_THAT(shownTexts(), ElementsAre(texts.LoadText(TextId{915}, {"Plant"})));
    EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, keys::projects).empty());
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
        EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, keys::projects).empty());
    }
}

// A registry of which one write fails, as a full disk would make it fail in
// the middle of a registration.
class FailingRegistry : public MemoryRegistry {
  public:
    void setValue(Hive hive, std::string_view key, std::string_view name,
                  const RegistryValue& value) override {
        if (writes++ == failingWrite) {
            throw Error("The registry file cannot be written", 75);
        }
        MemoryRegistry::setValue(hive, key, name, value);
    }

    // Counted from 0 on; -1: none fails.
    void failWrite(int number) {
        writes = 0;
        failingWrite = number;
    }

  private:
    int writes = 0;
    int failingWrite = -1;
};

// A write that fails half-way through a registration is reported, and what
// was written before it is taken back: the registry is as it was.
class HalfWayRegistration : public GroupRegistration {
  protected:
    HalfWayRegistration()
        : failingSettings(failing), failingRegistration(failing, failingSettings, messages, texts) {
    }

    void expectTakenBack(const std::function<bool()>& registerIt, int writes) {
        const std::string before = snapshot(failing, Hive::LocalMachine);
        for (int failAt = 0; failAt < writes; ++failAt) {
            SCOPED_TRACE("write " + std::to_string(failAt + 1) + " fails");
            messages = ScriptedMessageService();
            failing.failWrite(failAt);
            EXPECT_FALSE(registerIt());
            ASSERT_FALSE(messages.shown().empty());
            EXPECT_THAT(messages.shown().front().text,
                        StartsWith("Error in function 'RegisterProject'!\r\n(75: The registry "
                                   "file cannot be written)"));
            EXPECT_EQ(snapshot(failing, Hive::LocalMachine), before);
        }
        // With every write allowed the same registration stands.
        messages = ScriptedMessageService();
        failing.failWrite(-1);
        EXPECT_TRUE(registerIt());
        EXPECT_NE(snapshot(failing, Hive::LocalMachine), before);
    }

    FailingRegistry failing;
    ConfigurationComponent failingSettings;
    ProjectRegistration failingRegistration;
};

TEST_F(HalfWayRegistration, ANewProjectLeavesNoKeyBehind) {
    const auto folder = makeProject("P", "Plant1");
    expectTakenBack([&] { return failingRegistration.RegisterProject(folder, "Plant1"); }, 3);
}

TEST_F(HalfWayRegistration, AReplacedRegistrationKeepsItsOldValues) {
    const auto folder = makeProject("P", "Plant1", "Server", "4.05.000");
    const std::string key = std::string(keys::projects) + "\\Plant1";
    failing.writeString(Hive::LocalMachine, key, "Path", (scratch / "Old").string());
    failing.writeString(Hive::LocalMachine, key, "ProjectType", "Single");
    failing.writeString(Hive::LocalMachine, key, "Comment", "kept as it was");
    failing.writeString(Hive::LocalMachine, std::string(keys::projects) + "\\Other", "Path", "/x");
    expectTakenBack([&] { return failingRegistration.RegisterProject(folder, "Plant1"); }, 3);
    EXPECT_EQ(failing.readString(Hive::LocalMachine, key, "ProjectType"), "Server");
    EXPECT_EQ(failing.readString(Hive::LocalMachine, key, "Comment"), "kept as it was");
}

TEST_F(HalfWayRegistration, AGroupTakesItsMembersBack) {
    makeProject("Server", "PlantServer", "Server");
    makeProject("Client", "PlantClient", "Client");
    makeVbp("Server/Server.vbp", "PlantServer");
    makeVbp("Client/Client.vbp", "PlantClient");
    writeFile(scratch / "Plant.vbg",
              "VBGROUP 5.0\r\nProject=Server\\Server.vbp\r\nProject=Client\\Client.vbp\r\n");
    failing.writeString(Hive::LocalMachine, std::string(keys::projects) + "\\PlantClient", "Path",
                        "/elsewhere");
    // Three writes per member, two for the group; a member's failure is its own
    // report, followed by the group's.
    const std::string before = snapshot(failing, Hive::LocalMachine);
    for (int failAt = 0; failAt < 8; ++failAt) {
        SCOPED_TRACE("write " + std::to_string(failAt + 1) + " fails");
        messages = ScriptedMessageService();
        failing.failWrite(failAt);
        EXPECT_FALSE(failingRegistration.RegisterGroup(groupFolder(), "Plant"));
        EXPECT_THAT(shownTexts(), testing::Contains(HasSubstr("(75: The registry file cannot be "
                                                              "written)")));
        EXPECT_EQ(snapshot(failing, Hive::LocalMachine), before);
    }
    messages = ScriptedMessageService();
    failing.failWrite(-1);
    EXPECT_TRUE(failingRegistration.RegisterGroup(groupFolder(), "Plant"));
    EXPECT_EQ(failing.readString(Hive::LocalMachine, std::string(keys::projects) + "\\PlantClient",
                                 "Path"),
              (scratch / "Client").string());
}

} // namespace
} // namespace korvana::test
