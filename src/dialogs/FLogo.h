#pragma once

#include "dialogs/StartupTrace.h"
#include "platform/Registry.h"
#include "text/TextService.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <chrono>

class QFrame;
class QLabel;
class QPushButton;

namespace korvana::dialogs {

// The splash window: the logo and the line "for Visual Basic 5.0 and 6.0",
// shown while the program starts. It stays for at least the minimum display
// time and at least until the start-up calls InitReady, whichever is later,
// and then hides itself (it is not destroyed: it goes with the program).
//
// The same form serves as the about window (ShowInfo): then it also shows the
// installed studio version and the program's own version and waits for OK.
// Its version labels, the separator and the OK button stay hidden as a splash.
class FLogo : public QDialog {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds standardDisplayTime{2000};

    // Loads the form: localises it and starts the display timer. The trace
    // records the first paint as "splash-shown".
    FLogo(QWidget* owner, const TextService& texts, StartupTrace trace = {},
          std::chrono::milliseconds minimumDisplayTime = standardDisplayTime);

    // Start-up is complete; hides the splash once the display time has passed.
    void InitReady();

    // Turns the form into the about window and shows it modally until OK,
    // Enter, Esc or its close button: the display timer stopped (so it never
    // hides the window), the about controls shown, and a title bar to move
    // and close it by. The installed version is read first, so a registry
    // that cannot be read raises its error before any window is shown.
    void ShowInfo(const Registry& registry);

    bool TimerElapsed() const { return timerElapsed_; }
    bool InitDone() const { return initDone_; }

  signals:
    // The display rule has hidden the splash.
    void splashHidden();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void tmrLogo_Timer();
    void hideWhenBothDone();
    void setAboutControlsVisible(bool visible);
    void nameControlsForAccessibility();

    const TextService& texts_;
    StartupTrace trace_;
    bool painted_ = false;
    bool timerElapsed_ = false;
    bool initDone_ = false;

    QTimer tmrLogo_;
    QLabel* Image1_ = nullptr;
    QLabel* lblLogo_ = nullptr;
    std::array<QLabel*, 4> lblInfo_{};
    QLabel* lblKorvanaVersion_ = nullptr;
    QLabel* lblFileVersion_ = nullptr;
    QFrame* linInfo_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

// The about window, as the project-open dialog's info tool shows it: a form
// of its own, owned by `owner`, gone again when the user has closed it.
void ShowInfo(QWidget* owner, const TextService& texts, const Registry& registry);

} // namespace korvana::dialogs
