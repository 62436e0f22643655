#include "dialogs/SpokenText.h"

namespace korvana::dialogs {

QString spokenText(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        text += caption[i];
    }
    return text.trimmed();
}

} // namespace korvana::dialogs
