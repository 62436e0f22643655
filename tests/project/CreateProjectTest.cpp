#include "CreationFixture.h"
#include "db/Database.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;

class CreateProject : public test::CreationFixture {};

TEST_F(CreateProject, NamesAreAdaptedAtAnyDepthAndUnderscoreFilesAreGone) {
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%projectname%.vbp", "Name=\"%ProjectName%\"\r\n");
    put(templ / "_Info.ini", "[Info]\r\nProjectType=Single\r\n");
    put(templ / "_Icon.ico", "icon");
    put(templ / "Data" / "%PROJECTNAME% Texts" / "x%ProjectName%y.txt", "t");
    put(templ / "Data" / "%PROJECTNAME% Texts" / "_notes.txt", "n");
    put(templ / "Data" / "_Deep" / "kept.txt", "a folder beginning with _ is copied");
    auto project = newProject(templ);
    project.Create(environment);

    EXPECT_EQ(project.EProjectOpen, ProjectOpen::CreateFromTemplate);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(
        tree(projectFolder()),
        (std::vector<std::string>{"Data", "Data/Plant Texts", "Data/Plant Texts/xPlanty.txt",
                                  "Data/_Deep", "Data/_Deep/kept.txt", "Plant.kvs", "Plant.vbp"}));
    EXPECT_EQ(readFile(projectFolder() / "Plant.vbp"), "Name=\"Plant\"\r\n");
    EXPECT_EQ(registered("Plant", "Path"), projectFolder().string());
    EXPECT_EQ(registered("Plant", "ProjectType"), "Single");
    EXPECT_EQ(registered("Plant", "KorvanaVersion"), "4.05.002");
    // The project folder is made as any new folder beside it is, open to
    // whom the user's umask lets in, and nothing of the way the copy was
    // made stays beside it.
    std::filesystem::create_directory(scratch / "Projects" / "Other");
    EXPECT_EQ(std::filesystem::status(projectFolder()).permissions(),
              std::filesystem::status(scratch / "Projects" / "Other").permissions());
    std::filesystem::remove(scratch / "Projects" / "Other");
    EXPECT_EQ(tree(scratch / "Projects"),
              (std::vector<std::string>{"Plant", "Plant/Data", "Plant/Data/Plant Texts",
                                        "Plant/Data/Plant Texts/xPlanty.txt", "Plant/Data/_Deep",
                                        "Plant/Data/_Deep/kept.txt", "Plant/Plant.kvs",
                                        "Plant/Plant.vbp"}));
}

TEST_F(CreateProject, ExistingFolderKeepsItsOtherFilesAndFilesOfTheSameNameAreReplaced) {
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%ProjectName%.vbp", "Name=\"%ProjectName%\"\r\n");
    put(projectFolder() / "Plant.vbp", "old");
    put(projectFolder() / "notes.txt", "mine");
    auto project = newProject(templ);
    project.Create(environment);

    EXPECT_EQ(project.EProjectOpen, ProjectOpen::CreateFromTemplate);
    EXPECT_EQ(readFile(projectFolder() / "Plant.vbp"), "Name=\"Plant\"\r\n");
    EXPECT_EQ(readFile(projectFolder() / "notes.txt"), "mine");
}

// Forms are adapted before the project is moved into its folder wherever the
// copy can stand for the folder; the rest must come out the same.
TEST_F(CreateProject, FormsOnlyTheProjectFolderShowsAreAdaptedToo) {
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%ProjectName%.vbp", "Name=\"%ProjectName%\"\r\nForm=new.frm\r\n"
                                     "Form=Forms\\kept.frm\r\nForm=Linked\\shared.frm\r\n");
    put(templ / "new.frm", "Caption=\"%ProjectName%\"\r\n");
    put(templ / "Shared" / "shared.frm", "Caption=\"%ProjectName%\"\r\n");
    fs::create_directory_symlink("Shared", templ / "Linked");
    put(projectFolder() / "Forms" / "kept.frm", "Caption=\"%ProjectName%\"\r\n");
    auto project = newProject(templ);
    project.Create(environment);

    EXPECT_EQ(project.EProjectOpen, ProjectOpen::CreateFromTemplate);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(readFile(projectFolder() / "Plant.vbp"),
              "Name=\"Plant\"\r\nForm=new.frm\r\nForm=Forms\\kept.frm\r\n"
              "Form=Linked\\shared.frm\r\n");
    for (const char* form : {"new.frm", "Forms/kept.frm", "Shared/shared.frm"}) {
        EXPECT_EQ(readFile(projectFolder() / form), "Caption=\"Plant\"\r\n") << form;
    }
}

TEST_F(CreateProject, GroupFileGetsALineForEveryMember) {
    const struct {
        std::vector<std::string> members;
        std::string groupFile;
    } cases[] = {
        {{}, "VBGROUP 5.0\r\nStartupProject=%Project1%\r\n\r\n"},
        {{"A\\A.vbp"}, "VBGROUP 5.0\r\nStartupProject=A\\A.vbp\r\n\r\n"},
        {{"A\\A.vbp", "B\\B.vbp", "C\\C.vbp"},
         "VBGROUP 5.0\r\nStartupProject=A\\A.vbp\r\nProject=B\\B.vbp\r\nProject=C\\C.vbp\r\n\r\n"},
    };
    const auto templ = templateFolder("Group");
    put(templ / "%ProjectName%.vbg", "VBGROUP 5.0\r\nStartupProject=%Project1%\r\n%project2%\r\n");
    for (const auto& [members, groupFile] : cases) {
        const std::string name = "Group" + std::to_string(members.size());
        auto group = newProject(templ, ProjectType::Group, name);
        for (const auto& member : members) {
            group.Projects.push_back({member, nullptr});
        }
        group.Create(environment);
        EXPECT_EQ(group.EProjectOpen, ProjectOpen::CreateFromTemplate);
        EXPECT_EQ(readFile(projectFolder(name) / (name + ".vbg")), groupFile) << name;
        EXPECT_EQ(registered(name, "ProjectType"), "Group");
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(CreateProject, FormulaComponentMakesTheGroupFileTheDesignerProject) {
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%ProjectName%.vbp", "Form=frmMain.frm\r\n");
    put(templ / "%ProjectName%.vbg", "StartupProject=%ProjectName%.vbp\r\n"
                                     "Project=KVFormula\\%ProjectName% Formula.vbp\r\n");
    put(templ / "KVFormula" / "%ProjectName% Formula.vbp", "Name=\"%ProjectName% Formula\"\r\n"
                                                           "Form=KVFormula\\frmFormula.frm\r\n");
    put(templ / "KVFormula" / "frmFormula.frm", "Caption=\"%ProjectName%\"\r\n");
    put(templ / "frmMain.frm", "Caption=\"%ProjectName%\"\r\n");
    for (const bool withFormula : {false, true}) {
        const std::string name = withFormula ? "WithFormula" : "Plain";
        auto project = newProject(templ, ProjectType::Single, name);
        project.EProjectMainType = ProjectMainType::Standard;
        project.ServerComponents =
            withFormula ? std::vector<std::string>{"KVFormula"} : std::vector<std::string>{};
        project.Create(environment);

        const auto folder = projectFolder(name);
        const std::string designer = name + (withFormula ? ".vbg" : ".vbp");
        EXPECT_EQ(project.DesignerProject, designer);
        EXPECT_EQ(setting(folder / (name + ".kvs"), "Global", "DesignerProject"),
                  SettingValue{designer});
        EXPECT_EQ(readFile(folder / "KVFormula" / (name + " Formula.vbp")),
                  "Name=\"" + name + " Formula\"\r\nForm=KVFormula\\frmFormula.frm\r\n");
        EXPECT_EQ(readFile(folder / "frmMain.frm"), "Caption=\"" + name + "\"\r\n");
        // The formula's forms are adapted only when the group is what opens.
        EXPECT_EQ(readFile(folder / "KVFormula" / "frmFormula.frm"),
                  withFormula ? "Caption=\"" + name + "\"\r\n" : "Caption=\"%ProjectName%\"\r\n");
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(CreateProject, DatabaseGetsExactlyTheChosenLanguages) {
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%ProjectName%.vbp", "");
    auto project = newProject(templ);
    project.LCIDs = {germanLanguage, Lcid{1036}};
    project.Create(environment);

    auto database = db::Database::open((projectFolder() / "Plant.kvs").string());
    const auto textTable = database.tableDef("TidxTexts");
    EXPECT_EQ(textTable.findField("L1033"), nullptr);
    ASSERT_NE(textTable.findField("L1036"), nullptr);
    const auto& text = textTable.field("L1036");
    EXPECT_EQ(text.type, db::DaoType::Text);
    EXPECT_EQ(text.size, 255);
    EXPECT_EQ(text.defaultValue, "\"\"");
    EXPECT_TRUE(text.allowZeroLength);
    EXPECT_FALSE(text.required);
    ASSERT_NE(text.findProperty("UnicodeCompression"), nullptr);
    EXPECT_EQ(text.findProperty("UnicodeCompression")->value, db::Value(true));

    const auto fonts = database.tableDef("TidxFontClasses");
    EXPECT_EQ(fonts.findField("L1033"), nullptr);
    ASSERT_NE(fonts.findField("L1036"), nullptr);
    EXPECT_EQ(fonts.field("L1036").type, db::DaoType::Long);
    EXPECT_EQ(fonts.field("L1036").defaultValue, "1");
    EXPECT_TRUE(fonts.field("L1036").required);

    const auto rows =
        database.query("SELECT LCID, KBLayout, Font FROM TcfgLanguages ORDER BY LCID");
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0][0], db::Value(std::int64_t{1031}));
    EXPECT_EQ(rows.rows[1][0], db::Value(std::int64_t{1036}));
    EXPECT_EQ(rows.rows[1][1], db::Value(std::int64_t{67568647}));
    EXPECT_EQ(
        rows.rows[1][2],
        db::Value(std::string("Arial                           8   0   0   0   0   0   400 ")));
}

TEST_F(CreateProject, TemplateDatabaseWithoutLanguageTablesStillMakesAProject) {
    const auto templ = templateFolder();
    fs::create_directories(templ);
    test::makeProjectDatabase(templ / "%ProjectName%.kvs");
    put(templ / "%ProjectName%.vbp", "");
    auto project = newProject(templ);
    project.LCIDs = {Lcid{1036}};
    project.Create(environment);

    EXPECT_EQ(project.EProjectOpen, ProjectOpen::CreateFromTemplate);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(setting(projectFolder() / "Plant.kvs", "Global", "ProjectName"),
              SettingValue{"Plant"});
}

TEST_F(CreateProject, SettingsAreWrittenForTheProjectType) {
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%ProjectName%.vbp", "");
    // A component the template switched on that the developer did not choose.
    {
        const auto handle = settings.OpenProject((templ / "%ProjectName%.kvs").string());
        settings.SetValue(handle, "ServerComponents", "KVAlarm", std::int16_t{1});
        settings.CloseProject(handle);
    }
    auto client = newProject(templ, ProjectType::Client, "Panel");
    client.ServerProject = "Station";
    client.ServerComputerName = "ws-01";
    client.LCID = Lcid{1036};
    client.Create(environment);
    auto server = newProject(templ, ProjectType::Server, "Station");
    server.ServerComponents = {"KVFormula", "KVArchive"};
    server.Create(environment);

    const auto clientFile = projectFolder("Panel") / "Panel.kvs";
    EXPECT_EQ(setting(clientFile, "ClientConfig", "CurrentLCID"), SettingValue{std::int32_t{1036}});
    EXPECT_EQ(setting(clientFile, "ClientConfig", "ServerProject"), SettingValue{"Station"});
    EXPECT_EQ(setting(clientFile, "ClientConfig", "ServerComputerName"), SettingValue{"ws-01"});
    EXPECT_EQ(setting(clientFile, "ServerComponents", "KVAlarm"), SettingValue{std::int16_t{1}});
    EXPECT_EQ(setting(clientFile, "Global", "DateCreated"), SettingValue{createdAt});
    EXPECT_EQ(setting(clientFile, "Global", "ProjectTemplate2"), SettingValue{"Single"});
    EXPECT_EQ(setting(clientFile, "Global", "KorvanaVersion"), SettingValue{"4.05.002"});

    const auto serverFile = projectFolder("Station") / "Station.kvs";
    EXPECT_EQ(setting(serverFile, "ClientConfig", "CurrentLCID"), SettingValue{"<missing>"});
    const auto handle = settings.OpenProject(serverFile.string());
    EXPECT_EQ(settings.GetSection(handle, "ServerComponents"),
              (std::vector<Setting>{{"KVEKernel", std::int16_t{1}},
                                    {"KVPdb", std::int16_t{1}},
                                    {"KVFormula", std::int16_t{1}},
                                    {"KVAlarm", std::int16_t{0}},
                                    {"KVArchive", std::int16_t{1}}}));
    settings.CloseProject(handle);
}

TEST_F(CreateProject, RefusedInputCreatesAndRegistersNothing) {
    const auto complete = templateFolder("Complete");
    putTemplateDatabase(complete);
    const auto withoutProjectFile = templateFolder("Empty");
    put(withoutProjectFile / "readme.txt", "");
    const struct {
        const char* label;
        fs::path templ;
        std::string name;
        fs::path folder;
        int text;
    } cases[] = {
        {"missing template", scratch / "nowhere", "Plant", projectFolder(), 900},
        {"no project file", withoutProjectFile, "Plant", projectFolder(), 900},
        {"unwritable folder", complete, "Plant", unwritableFolder() / "Plant", 900},
        {"project inside the template", complete, "Plant", complete / "Plant", 900},
        {"name with a separator", complete, "a/b", projectFolder(), 921},
    };
    for (const auto& c : cases) {
        auto project = newProject(c.templ, ProjectType::Single, c.name);
        project.Path = c.folder.string();
        project.EProjectOpen = ProjectOpen::CreateFromTemplate;
        project.Create(environment);
        EXPECT_EQ(project.EProjectOpen, ProjectOpen::Nothing) << c.label;
        EXPECT_EQ(shownCount(c.text), 1) << c.label;
        EXPECT_FALSE(fs::exists(c.folder)) << c.label;
        EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, projectsKey).empty()) << c.label;
        messages = ScriptedMessageService();
    }
    EXPECT_FALSE(fs::exists(scratch / "Projects"));
    EXPECT_EQ(tree(complete), (std::vector<std::string>{"%ProjectName%.kvs"}));
}

TEST_F(CreateProject, FailedCopyOrRenamingLeavesNothingBehind) {
    const auto unrenamable = templateFolder("PathInName");
    putTemplateDatabase(unrenamable);
    put(unrenamable / "%ProjectName%.vbp", "new");
    put(unrenamable / "%ProjectPath%" / "x.txt", "");
    const auto uncopyable = templateFolder("Fifo");
    putTemplateDatabase(uncopyable);
    put(uncopyable / "%ProjectName%.vbp", "new");
    ASSERT_EQ(::mkfifo((uncopyable / "pipe").c_str(), 0600), 0);

    for (const auto& [templ, text] : {std::pair{unrenamable, 901}, std::pair{uncopyable, 900}}) {
        for (const bool folderExisted : {false, true}) {
            const auto folder = projectFolder("Plant");
            fs::remove_all(scratch / "Projects");
            if (folderExisted) {
                put(folder / "Plant.vbp", "mine");
            }
            auto project = newProject(templ);
            project.Create(environment);
            EXPECT_EQ(project.EProjectOpen, ProjectOpen::Nothing);
            EXPECT_EQ(shownCount(text), 1) << templ << folderExisted;
            if (folderExisted) {
                EXPECT_EQ(tree(scratch / "Projects"),
                          (std::vector<std::string>{"Plant", "Plant/Plant.vbp"}));
                EXPECT_EQ(readFile(folder / "Plant.vbp"), "mine");
            } else {
                EXPECT_FALSE(fs::exists(scratch / "Projects")) << templ;
            }
            EXPECT_TRUE(registry.subKeys(Hive::LocalMachine, projectsKey).empty());
            messages = ScriptedMessageService();
        }
    }
}

TEST_F(CreateProject, SymbolicLinksAreCopiedAsLinksAndNeverWrittenThrough) {
    const auto outside = scratch / "outside.frm";
    put(outside, "Caption=\"%ProjectName%\"\r\n");
    const auto templ = templateFolder();
    putTemplateDatabase(templ);
    put(templ / "%ProjectName%.vbp", "Form=linked.frm\r\nForm=Shared\\outside.frm\r\n");
    fs::create_symlink(outside, templ / "linked.frm");
    fs::create_directory_symlink(scratch.path(), templ / "Shared");
    auto project = newProject(templ);
    project.Create(environment);

    EXPECT_EQ(project.EProjectOpen, ProjectOpen::CreateFromTemplate);
    EXPECT_TRUE(fs::is_symlink(projectFolder() / "linked.frm"));
    EXPECT_EQ(fs::read_symlink(projectFolder() / "linked.frm"), outside);
    EXPECT_TRUE(fs::is_symlink(projectFolder() / "Shared"));
    EXPECT_EQ(readFile(outside), "Caption=\"%ProjectName%\"\r\n");
    EXPECT_EQ(shownCount(910), 2);
}

} // namespace
} // namespace korvana
