#include "dialogs/QtText.h"

namespace korvana::dialogs {

QString qtText(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

} // namespace korvana::dialogs
