#include "dialogs/MaskValidator.h"

#include "text/FilterKey.h"

namespace korvana::dialogs {

MaskValidator::MaskValidator(std::string mask, QObject* parent)
    : QValidator(parent), mask_(std::move(mask)) {}

QValidator::State MaskValidator::validate(QString& input, int& /*position*/) const {
    for (qsizetype i = 0; i < input.size(); ++i) {
        const KeyCode key = input[i].unicode();
        // The mask looks at the text before the character, as when it was typed.
        const std::string before = input.left(i).toStdString();
        if (FilterKey(key, before, static_cast<std::size_t>(i), mask_) == 0) {
            return Invalid;
        }
    }
    return Acceptable;
}

} // namespace korvana::dialogs
