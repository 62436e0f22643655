#pragma once

#include "text/MessageService.h"
#include "text/TextService.h"

#include <QPointer>
#include <QWidget>

namespace korvana::dialogs {

// Messages of the windowed program: a modal message box owned by the active
// window, with the icon, buttons and default button of the message's style.
// The OK and Cancel captions come from the string table (texts 10 and 11), so
// they follow the user-interface language; Yes and No keep Qt's captions.
class QtMessageService : public MessageService {
  public:
    explicit QtMessageService(const TextService& texts) : texts_(texts) {}

    // The owner of a box shown while no window of the program is active (for
    // example before the first window has been activated). Held weakly.
    void setFallbackOwner(QWidget* owner) { fallbackOwner_ = owner; }

    Answer show(const Message& message) override;

  private:
    const TextService& texts_;
    QPointer<QWidget> fallbackOwner_;
};

} // namespace korvana::dialogs
