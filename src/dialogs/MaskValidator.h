#pragma once

#include <QValidator>
#include <string>

namespace korvana::dialogs {

// A text box's input mask as a validator: a text passes when every character
// could have been typed under the mask at its place. Typed, pasted and dropped
// text are held to the same rule, so a name or folder can never hold a
// character the mask refuses.
class MaskValidator : public QValidator {
  public:
    MaskValidator(std::string mask, QObject* parent);

    State validate(QString& input, int& position) const override;

  private:
    std::string mask_;
};

} // namespace korvana::dialogs
