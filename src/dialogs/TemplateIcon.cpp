#include "dialogs/TemplateIcon.h"

#include "platform/Paths.h"

#include <QApplication>
#include <QImageReader>
#include <QPixmap>
#include <QStyle>

namespace korvana::dialogs {

namespace {

constexpr int iconSize = 32;
// Template icons are a few kilobytes; a file far larger is not decoded at all.
constexpr qint64 largestIconFile = 1024 * 1024;
constexpr int largestIconSide = 1024;

} // namespace

QIcon templateIcon(const std::string& iconFile, const QIcon& standard) {
    if (iconFile.empty()) {
        return standard;
    }
    const auto path = paths::toFileSystemPath(iconFile);
    if (path.empty()) {
        return standard;
    }
    QImageReader reader(QString::fromStdString(path.string()));
    if (reader.device() == nullptr || reader.device()->size() > largestIconFile) {
        return standard;
    }
    const QSize size = reader.size();
    if (size.width() > largestIconSide || size.height() > largestIconSide) {
        return standard;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return standard;
    }
    return QIcon(QPixmap::fromImage(
        image.scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QIcon standardTemplateIcon() {
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

} // namespace korvana::dialogs
