#pragma once

#include "project/ProjectLanguages.h"
#include "text/TextService.h"

#include <QDialog>
#include <functional>
#include <vector>

class QPushButton;
class QTreeWidgetItem;

namespace korvana::dialogs {

class ReportList;

// The dialog in which the developer picks languages for a project: every
// language of the system that the project does not have yet, each with a
// check box. Only OK adds anything, and only what is checked.
class FAddLanguage : public QDialog {
    Q_OBJECT

  public:
    // Shows the help for a window (F1 and the Help button).
    using ContextHelp = std::function<void(QWidget* window)>;

    // Loads the form: puts its texts in place and reads the system's languages.
    FAddLanguage(QWidget* owner, const TextService& texts);

    // Without one, F1 and Help do nothing.
    void setContextHelp(ContextHelp help) { contextHelp_ = std::move(help); }

    // Offers what `callerLanguages` lacks and shows the dialog modally. OK
    // appends the checked languages in the order the list shows them, unchecked;
    // Cancel leaves the list as it was.
    void ShowDialog(std::vector<LanguageRow>& callerLanguages);

    // ShowDialog in parts, for callers that drive the dialog themselves: fills
    // the list with the languages `existing` lacks, none checked or selected.
    void prepare(const std::vector<LanguageRow>& existing);
    // The checked languages in the order the list shows them.
    std::vector<LanguageRow> checkedLanguages() const;

  private:
    void nameControlsForAssistiveTools();
    void toggle(QTreeWidgetItem* item);
    void showHelp();

    std::vector<LanguageRow> systemLanguages_;
    std::vector<LanguageRow> offered_;
    ContextHelp contextHelp_;

    ReportList* lvwLanguages_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

} // namespace korvana::dialogs
