#pragma once

#include "dialogs/DialogContext.h"
#include "project/KVProject.h"
#include "project/ProjectOpenSettings.h"
#include "project/ProjectRegistration.h"

#include <QDialog>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;
class QTreeWidgetItem;

namespace korvana::dialogs {

class ReportList;

// The window in which the developer picks what to work on: a template for a
// new project (two families), a registered project or group, a recently used
// one, or a project or group file found on disk (registered on the way). It
// opens and creates nothing itself: it fills a project object with the choice,
// whose EProjectOpen tells the caller what to do.
//
// In add mode it serves the new-project dialog picking a member for a group:
// no groups, no group templates, no recent list, no tool bar, and Cancel
// instead of End.
class FProjectOpen : public QDialog {
    Q_OBJECT

  public:
    // What the dialog's buttons and tools open; tests replace them so that no
    // other window comes up. Each gets this dialog as owner.
    struct Windows {
        // The chosen file, or empty when the developer cancelled.
        std::function<QString(QWidget* owner, const QString& title, const QString& filter)>
            chooseFile;
        std::function<void(QWidget* owner)> showOptions;
        std::function<void(QWidget* owner)> showInfo;
        // The studio help (tool bar) and the project management help (F1, Help).
        std::function<void(QWidget* owner)> showStudioHelp;
        std::function<void(QWidget* owner)> showContextHelp;
    };

    FProjectOpen(QWidget* owner, DialogContext& context, ProjectRegistration& registration,
                 Windows windows);

    // Fills the lists, shows the dialog modally and returns the choice once it
    // has been closed. EProjectOpen is Nothing when the developer ended it.
    CKVProject ShowDialog(bool addMode);

    // ShowDialog in two halves, for callers that drive the dialog themselves.
    void prepare(bool addMode);
    const CKVProject& result() const { return result_; }

    void done(int result) override;
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildHeader();
    void buildTabs();
    // The row of Open, End and Help, for the caller to place.
    QLayout* buildButtons();
    void connectChoices();
    void applyTexts();
    void fillTemplateLists(bool addMode);
    void fillRegisteredList(bool addMode);
    void fillRecentList(bool addMode);
    // Runs a step that reads or writes the registry; a failure is reported (the
    // first of a showing) and the dialog goes on with what it has.
    void guarded(std::string_view procedure, const std::function<void()>& step);

    void chooseTemplate(QListWidgetItem* item, ProjectMainType family);
    void chooseProject(QTreeWidgetItem* item);
    void tabChanged(int index);
    void resetTab(int index);
    void cmdOpen_Click();
    void cmdSearchKVStudioProject_Click();
    void mnuDeregister_Click();
    void showRegisteredMenu(const QPoint& position);
    void btnOptions_Click();

    DialogContext& context_;
    ProjectRegistration& registration_;
    Windows windows_;
    ProjectOpenSettings settings_;
    CKVProject result_;
    bool addMode_ = false;
    bool failureReported_ = false;
    int shownTab_ = -1;

    QLabel* img_ = nullptr;
    QToolBar* ActiveBar1_ = nullptr;
    QAction* btnOptions_ = nullptr;
    QAction* btnHelp_ = nullptr;
    QAction* btnInfo_ = nullptr;
    QTabWidget* tabSelectProject_ = nullptr;
    QListWidget* lvwNewProjects_ = nullptr;
    QListWidget* lvwNewProjectsKV32_ = nullptr;
    ReportList* lvwRegisteredProjects_ = nullptr;
    ReportList* lvwRecentProjects_ = nullptr;
    QLabel* lbl0_ = nullptr;
    QLineEdit* txtKVStudioProject_ = nullptr;
    QPushButton* cmdSearchKVStudioProject_ = nullptr;
    QMenu* mnuRegisteredProjects_ = nullptr;
    QAction* mnuDeregister_ = nullptr;
    QPushButton* cmdOpen_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

} // namespace korvana::dialogs
