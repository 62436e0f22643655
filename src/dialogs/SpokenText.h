#pragma once

#include <QString>

namespace korvana::dialogs {

// A caption as a screen reader should say it: without the mnemonic marks
// ("&Help" is "Help", "&&" one "&") and without the blanks that pad tab
// captions.
QString spokenText(const QString& caption);

} // namespace korvana::dialogs
