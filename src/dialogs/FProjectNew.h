#pragma once

#include "dialogs/DialogContext.h"
#include "platform/Files.h"
#include "project/KVProject.h"
#include "project/NewProjectChecks.h"
#include "project/NewProjectChoices.h"
#include "startup/StartupHost.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidgetItem;

namespace korvana::dialogs {

class ReportList;

// The window in which the developer names and describes a new project, or a
// new project group, made from the template chosen in the project-open
// dialog: name and folder, languages, server components, a client's server
// project, the Visual Basic version and the descriptive fields; for a group,
// its projects. OK checks the input, fills the project object and has it made
// (for a Server/Client group its two members first).
class FProjectNew : public QDialog {
    Q_OBJECT

  public:
    // The tabs, by their index.
    enum Tab { General = 0, Projects, Languages, ServerComponents, ServerProject, Further };

    // What the dialog opens and does beyond its own controls; tests replace
    // them so that no other window comes up and nothing is made.
    struct Windows {
        // A folder chosen from `start`, empty when the developer cancelled.
        std::function<QString(QWidget* owner, const QString& start)> chooseFolder;
        // The add-language dialog: appends the chosen languages.
        std::function<void(QWidget* owner, std::vector<LanguageRow>& languages)> addLanguages;
        // A project for the group: the project-open dialog in add mode (and a
        // new-project dialog for a template chosen there). EProjectOpen Nothing
        // when none was chosen.
        std::function<CKVProject(QWidget* owner)> pickGroupProject;
        std::function<void(QWidget* owner)> contextHelp;
        // Makes the project the object describes (sets EProjectOpen).
        std::function<void(CKVProject& project)> create;
    };

    FProjectNew(QWidget* owner, DialogContext& context, const ProjectDialogServices& services,
                Windows windows);
    ~FProjectNew() override;

    // Shows the dialog for the template in project.TemplatePath (type in
    // EProjectType) and, on OK, fills and makes the project. EProjectOpen is
    // Nothing when the developer cancelled.
    void ShowDialog(CKVProject& project);

    // ShowDialog in halves, for callers that drive the dialog themselves:
    // prepare, then after OK (result() Accepted) finish.
    void prepare(const CKVProject& project);
    void finish(CKVProject& project);

    NewProjectMode mode() const { return mode_; }

    void accept() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    QWidget* buildGeneralTab();
    QWidget* buildProjectsTab();
    QWidget* buildLanguagesTab();
    QWidget* buildComponentsTab();
    QWidget* buildServerProjectTab();
    QWidget* buildFurtherTab();
    QLayout* buildButtons();
    void nameControlsForAssistiveTools();

    void fillRegisteredProjects();
    void fillLanguages(const std::string& templateProject);
    void fillComponents(const std::string& templateProject);
    void showLanguages();
    void showComponents();

    void nameChanged(const QString& name);
    void languageChanged(QTreeWidgetItem* item);
    void componentChanged(QTreeWidgetItem* item);
    void serverProjectChanged(QTreeWidgetItem* item);
    void notRegisteredServerChanged(bool checked);
    void removeLanguage();
    void addLanguages();
    void addGroupProject();
    void tabChanged(int index);
    void showTab(Tab tab);

    std::string memberTemplate(std::string_view member) const;
    void createServerClientMembers(CKVProject& group);

    DialogContext& context_;
    ProjectDialogServices services_;
    Windows windows_;
    Files files_;
    NewProjectChecks checks_;
    NewProjectMode mode_ = NewProjectMode::Single;
    CKVProject template_;
    std::string previousName_;
    std::string serverProject_;
    LanguageChoice languages_{{}};
    ComponentChoice components_{{}};
    // While the lists are redrawn from the choices, their change signals are
    // not the developer's.
    bool redrawing_ = false;
    int shownTab_ = General;

    QTabWidget* tabProjectNew_ = nullptr;
    QLineEdit* txtName_ = nullptr;
    QLineEdit* txtPath_ = nullptr;
    QPushButton* cmdSearch_ = nullptr;
    ReportList* lvwProjects_ = nullptr;
    QLabel* imgProjectType_ = nullptr;
    ReportList* lvwGroupProjects_ = nullptr;
    QPushButton* cmdProjectAdd_ = nullptr;
    QPushButton* cmdProjectRemove_ = nullptr;
    ReportList* lvwLanguages_ = nullptr;
    QPushButton* cmdLanguageAdd_ = nullptr;
    QPushButton* cmdLanguageRemove_ = nullptr;
    ReportList* lvwServerComponents_ = nullptr;
    ReportList* lvwServerProjects_ = nullptr;
    QCheckBox* chkNotRegisteredServerProject_ = nullptr;
    QLineEdit* txtNotRegisteredServerProject_ = nullptr;
    QLineEdit* txtServerComputerName_ = nullptr;
    QComboBox* cboVisualBasic_ = nullptr;
    QLineEdit* txtProjectVersion_ = nullptr;
    QLineEdit* txtCustomer_ = nullptr;
    QLineEdit* txtDeveloper_ = nullptr;
    QLineEdit* txtComment_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

} // namespace korvana::dialogs
