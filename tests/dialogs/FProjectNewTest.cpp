#include "dialogs/FProjectNew.h"

#include "AccessibleNames.h"
#include "QtPrinters.h"
#include "db/json/DatabaseJson.h"
#include "project/RegistrationFixture.h"
#include "services/InstallationKeys.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gmock/gmock.h>

namespace korvana::dialogs {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

// Templates of each kind with a project database that has German and English,
// installed components with dependencies, registered projects, and the dialog
// over them with no other window and nothing made.
class ProjectNew : public test::RegistrationFixture {
  protected:
    ProjectNew() {
        settings.ownProjectsFolder = (scratch / "Own").string();
        for (const auto& [name, dependencies] : std::vector<std::pair<std::string, std::string>>{
                 {"KVAlarm", "KVArchive"}, {"KVArchive", ""}, {"KVTrend", "KVArchive"}}) {
            const std::string key = std::string(keys::serverComponents) + "\\" + name;
            registry.writeString(Hive::LocalMachine, key, "Description", name + " server");
            registry.writeString(Hive::LocalMachine, key, "Dependencies", dependencies);
        }
        for (const char* name : {"Projekt1", "projekt7", "Projektx"}) {
            registerRaw(name, makeProject(name, name), "Single");
        }
        registerRaw("Srv", makeProject("Srv", "Srv", "Server"), "Server");
    }

    std::string makeTemplate(const fs::path& folder, bool withProject = true) {
        fs::create_directories(folder);
        if (withProject) {
            const auto file = folder / "%ProjectName%.kvs";
            db::json::createDatabaseFromJson(
                file.string(), test::readFile(fs::path(KORVANA_SOURCE_DIR) /
                                              "tests/fixtures/template-project.json"));
            ConfigurationComponent writer(registry);
            const auto handle = writer.OpenProject(file.string());
            writer.SetValue(handle, "Global", "LCID", std::int32_t{1031});
            writer.SetValue(handle, "ServerComponents", "KVAlarm", std::int16_t{1});
            writer.CloseProject(handle);
        }
        return folder.string();
    }

    FProjectNew& dialog(ProjectType type, const std::string& templateFolder) {
        project = CKVProject{};
        project.EProjectType = type;
        project.ProjectType = std::string(projectTypeName(type));
        project.EProjectMainType = ProjectMainType::Standard;
        project.TemplatePath = templateFolder;
        form = std::make_unique<FProjectNew>(
            nullptr, context, ProjectDialogServices{registration, configuration}, windows);
        form->prepare(project);
        form->show();
        return *form;
    }
    template <typename T> T* control(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }
    QStringList checked(const char* list) const {
        QStringList names;
        auto* tree = control<QTreeWidget>(list);
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->checkState(0) == Qt::Checked) {
                names << tree->topLevelItem(i)->text(0);
            }
        }
        return names;
    }
    void setChecked(const char* list, const QString& text, bool on) const {
        auto* tree = control<QTreeWidget>(list);
        const auto found = tree->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        found.front()->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
    int tab() const { return control<QTabWidget>("tabProjectNew")->currentIndex(); }

    ConfigurationComponent configuration{registry};
    ProjectRegistration registration{registry, configuration, messages, texts};
    InstallationSettings settings;
    DialogContext context{registry, messages, texts, settings};
    FProjectNew::Windows windows;
    CKVProject project;
    std::unique_ptr<FProjectNew> form;
};

TEST_F(ProjectNew, ProposesTheNextNameAndTheFolderFollowsItUntilEdited) {
    dialog(ProjectType::Single, makeTemplate(scratch / "T" / "Single"));
    auto* name = control<QLineEdit>("txtName");
    auto* folder = control<QLineEdit>("txtPath");
    EXPECT_EQ(name->text(), "Projekt8");
    EXPECT_EQ(folder->text().toStdString(), (scratch / "Own" / "Projekt8").string());

    name->setText("Kessel");
    EXPECT_EQ(folder->text().toStdString(), (scratch / "Own" / "Kessel").string());
    folder->setText("/elsewhere/mine");
    name->setText("Kessel2");
    EXPECT_EQ(folder->text(), "/elsewhere/mine");

    // A name holds only what a file name may: the separator is refused.
    name->clear();
    QTest::keyClicks(name, "a/b");
    EXPECT_EQ(name->text(), "ab");
}

TEST_F(ProjectNew, EachKindOffersItsTabsAndCaption) {
    struct Case {
        ProjectType type;
        std::string folder;
        std::vector<int> tabs;
        std::string caption;
    };
    const std::vector<Case> cases{
        {ProjectType::Single,
         "Single",
         {0, 2, 3, 5},
         "KorvanaStudio - Neues 'Single'-Projekt anlegen"},
        {ProjectType::Server,
         "Server",
         {0, 2, 3, 5},
         "KorvanaStudio - Neues 'Server'-Projekt anlegen"},
        {ProjectType::Client,
         "Client",
         {0, 2, 4, 5},
         "KorvanaStudio - Neues 'Client'-Projekt anlegen"},
        {ProjectType::Group, "Group", {0, 1}, "KorvanaStudio - Neue Projektgruppe anlegen"},
        {ProjectType::Group,
         "server-client (OPC)",
         {0, 2, 3, 5},
         "KorvanaStudio - Neue 'Server/Client'-Projektgruppe anlegen"},
    };
    for (const auto& c : cases) {
        dialog(c.type, makeTemplate(scratch / "T" / c.folder, c.type != ProjectType::Group));
        std::vector<int> shown;
        for (int i = 0; i < 6; ++i) {
            if (control<QTabWidget>("tabProjectNew")->isTabVisible(i)) {
                shown.push_back(i);
            }
        }
        EXPECT_EQ(shown, c.tabs) << c.folder;
        EXPECT_EQ(form->windowTitle().toStdString(), c.caption);
    }
}

TEST_F(ProjectNew, LanguagesAndComponentsKeepTheirRules) {
    dialog(ProjectType::Single, makeTemplate(scratch / "T" / "Single"));
    EXPECT_THAT(checked("lvwLanguages"), ElementsAre(" 1031"));
    EXPECT_THAT(checked("lvwServerComponents"), ElementsAre("KVAlarm"));

    setChecked("lvwLanguages", " 1033", true);
    EXPECT_THAT(checked("lvwLanguages"), ElementsAre(" 1033"));
    setChecked("lvwLanguages", " 1033", false);
    EXPECT_THAT(checked("lvwLanguages"), ElementsAre(" 1031"));

    setChecked("lvwServerComponents", "KVTrend", true);
    EXPECT_THAT(checked("lvwServerComponents"), ElementsAre("KVAlarm", "KVArchive", "KVTrend"));
    setChecked("lvwServerComponents", "KVArchive", false);
    EXPECT_THAT(checked("lvwServerComponents"), ElementsAre("KVAlarm", "KVArchive", "KVTrend"));
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().text,
              texts.LoadText(TextId{398}, {"KVArchive", "KVAlarm, KVTrend"}));
}

TEST_F(ProjectNew, OkChecksInOrderAndTheClientIsFilledForCreation) {
    std::vector<CKVProject> created;
    windows.create = [&](CKVProject& made) {
        created.push_back(made);
        made.EProjectOpen = ProjectOpen::CreateFromTemplate;
    };
    dialog(ProjectType::Client, makeTemplate(scratch / "T" / "Client"));
    control<QLineEdit>("txtName")->setText("Leitstand");
    control<QPushButton>("cmdOK")->click();
    EXPECT_EQ(tab(), FProjectNew::ServerProject);
    EXPECT_TRUE(fs::is_directory(scratch / "Own" / "Leitstand"))
        << "created before the server check";
    EXPECT_EQ(messages.shown().back().text, texts.LoadText(TextId{395}));
    EXPECT_TRUE(form->isVisible());

    setChecked("lvwServerProjects", "Srv", true);
    control<QLineEdit>("txtServerComputerName")->setText("plant-server");
    control<QLineEdit>("txtCustomer")->setText("Stadtwerke");
    control<QPushButton>("cmdOK")->click();
    ASSERT_EQ(form->result(), QDialog::Accepted);
    form->finish(project);

    ASSERT_EQ(created.size(), 1U);
    const CKVProject& client = created.front();
    EXPECT_EQ(client.ProjectName, "Leitstand");
    EXPECT_EQ(client.Path, (scratch / "Own" / "Leitstand").string());
    EXPECT_EQ(client.ServerProject, "Srv");
    EXPECT_EQ(client.ServerComputerName, "plant-server");
    EXPECT_EQ(client.Customer, "Stadtwerke");
    EXPECT_EQ(client.LCID, Lcid{1031});
    EXPECT_EQ(client.LCIDs, (std::vector<Lcid>{Lcid{1031}, Lcid{1033}}));
    EXPECT_EQ(project.EProjectOpen, ProjectOpen::CreateFromTemplate);
}

TEST_F(ProjectNew, AServerClientGroupMakesItsMembersFirst) {
    const fs::path group = scratch / "T" / "Server-Client (OPC)";
    makeTemplate(group / "Client (OPC)");
    makeTemplate(group / "Server (OPC)");
    std::vector<std::string> made;
    windows.create = [&](CKVProject& one) {
        made.push_back(one.ProjectName + " in " + fs::path(one.Path).filename().string() +
                       " from " + fs::path(one.TemplatePath).filename().string() + " served by '" +
                       one.ServerProject + "'");
        one.DesignerProject = one.ProjectName + ".vbp";
        one.EProjectOpen = ProjectOpen::CreateFromTemplate;
    };
    dialog(ProjectType::Group, group.string());
    control<QLineEdit>("txtName")->setText("Anlage");
    control<QPushButton>("cmdOK")->click();
    ASSERT_EQ(form->result(), QDialog::Accepted);
    form->finish(project);

    EXPECT_THAT(made,
                ElementsAre("Anlage Client in Client from Client (OPC) served by 'Anlage Server'",
                            "Anlage Server in Server from Server (OPC) served by ''",
                            "Anlage in Anlage from Server-Client (OPC) served by ''"));
    std::vector<std::string> members;
    for (const auto& member : project.Projects) {
        members.push_back(member.designerProject);
    }
    EXPECT_THAT(members, ElementsAre("Client\\Anlage Client.vbp", "Server\\Anlage Server.vbp"));
}

TEST_F(ProjectNew, AGroupNeedsProjectsAndAsksAboutItsNameOnce) {
    dialog(ProjectType::Group, makeTemplate(scratch / "T" / "Group", false));
    control<QLineEdit>("txtName")->setText("Projekt1");
    control<QTabWidget>("tabProjectNew")->setCurrentIndex(FProjectNew::Projects);
    EXPECT_EQ(tab(), FProjectNew::General) << "390 answered No keeps the General tab";

    messages.queueAnswer(Answer::Yes);
    control<QTabWidget>("tabProjectNew")->setCurrentIndex(FProjectNew::Projects);
    EXPECT_EQ(tab(), FProjectNew::Projects);
    const auto asked = messages.shown().size();
    control<QPushButton>("cmdOK")->click();
    EXPECT_EQ(messages.shown().size(), asked + 1);
    EXPECT_EQ(messages.shown().back().text, texts.LoadText(TextId{396}));
    EXPECT_EQ(tab(), FProjectNew::Projects);
}

TEST_F(ProjectNew, EveryControlHasAnAccessibleName) {
    dialog(ProjectType::Client, makeTemplate(scratch / "T" / "Client"));
    auto* tabs = control<QTabWidget>("tabProjectNew");
    for (int i = 0; i < tabs->count(); ++i) {
        if (!tabs->isTabVisible(i)) {
            continue;
        }
        tabs->setCurrentIndex(i);
        expectEveryShownControlNamed(*form);
    }
}

} // namespace
} // namespace korvana::dialogs
