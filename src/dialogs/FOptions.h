#pragma once

#include "dialogs/DialogContext.h"
#include "platform/Files.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace korvana::dialogs {

// The options dialog: the developer's own projects and templates folders, and
// for this run only the troubleshooting switch that keeps the Visual Basic
// interface as it is. Shown modally; only OK changes anything, and OK closes
// the dialog only once both folders are stored (see StoreOptions).
//
// Object names follow the form's control names; the two labels of the former
// control array "lbl" are "lbl_0" (projects folder) and "lbl_1" (templates
// folder).
class FOptions : public QDialog {
    Q_OBJECT

  public:
    // Asks for a folder, starting at `start`; empty when the developer cancels.
    using FolderChooser =
        std::function<QString(QWidget* owner, const QString& title, const QString& start)>;
    // Shows the help for a window (F1 and the Help button).
    using ContextHelp = std::function<void(QWidget* window)>;

    // Loads the form: localises it and fills the folders from the current
    // settings. The troubleshooting box starts unchecked, whatever the flag is:
    // the developer has to ask for it again each time.
    FOptions(QWidget* owner, DialogContext& context);

    // The system's folder selection unless replaced (tests do).
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    // Without one, F1 and Help do nothing.
    void setContextHelp(ContextHelp help) { contextHelp_ = std::move(help); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildFoldersTab();
    void buildTroubleshootingTab();
    void nameControlsForAssistiveTools();

    void browse(QLineEdit& folderText, const QLabel& label);
    void cmdOK_Click();
    void showHelp();

    DialogContext& context_;
    Files files_;
    FolderChooser chooseFolder_;
    ContextHelp contextHelp_;

    QTabWidget* tabOptions_ = nullptr;
    QLabel* lblProjects_ = nullptr;
    QLineEdit* txtProjectsPath_ = nullptr;
    QToolButton* cmdProjectsPath_ = nullptr;
    QLabel* lblTemplates_ = nullptr;
    QLineEdit* txtTemplatesPath_ = nullptr;
    QToolButton* cmdTemplatesPath_ = nullptr;
    QCheckBox* chkDontChangeVB_UI_ = nullptr;
    QLabel* Label1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

} // namespace korvana::dialogs
