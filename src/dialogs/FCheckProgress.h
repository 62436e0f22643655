#pragma once

#include "dbupgrade/CheckProgress.h"
#include "text/TextService.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace korvana::dialogs {

// The window that shows a running database check: the project, a bar over
// the check's stages, the stage in words and Cancel. It only shows; whoever
// runs the check reads `stopRequested` (through `cancelRequested`) and closes
// the window when the check has ended. Cancel, Esc and the window's close
// button all ask once to stop; after that, and once the project file is being
// replaced, Cancel is disabled.
class FCheckProgress : public QDialog {
    Q_OBJECT

  public:
    FCheckProgress(QWidget* owner, const TextService& texts, const QString& projectName);

    void showProgress(const dbupgrade::CheckProgress& progress);
    bool stopRequested() const { return stopRequested_; }

    // Asks to stop, as Cancel does; a second request changes nothing.
    void requestStop();

  signals:
    // Sent once, on the first request to stop.
    void cancelRequested();

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void nameControlsForAssistiveTools();

    const TextService& texts_;
    bool stopRequested_ = false;
    bool stoppable_ = true;
    QLabel* lblProject_ = nullptr;
    QProgressBar* prgStages_ = nullptr;
    QLabel* lblStage_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace korvana::dialogs
