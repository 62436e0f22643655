#include "dialogs/FileFilter.h"

#include "dialogs/QtText.h"

#include <QStringList>

namespace korvana::dialogs {

QString qtFileFilter(std::string_view windowsFilter) {
    const QStringList parts = qtText(windowsFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        // Windows separates the patterns of one filter with ';', Qt with blanks.
        const QString pattern = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
            filters << description;
        } else {
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
        }
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace korvana::dialogs
