#include "dialogs/Logo.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

namespace korvana::dialogs {

namespace {

const QColor panelTop(22, 46, 84);
const QColor panelBottom(10, 22, 44);
const QColor markColor(240, 176, 48);

// The "K" mark in a square of side `size` at `origin`: a stem and two arms,
// the lower arm ending in a small process-curve notch.
void drawMark(QPainter& painter, QPointF origin, qreal size) {
    const auto at = [&](qreal x, qreal y) { return origin + QPointF(x * size, y * size); };
    painter.setPen(Qt::NoPen);
    painter.setBrush(markColor);
    painter.drawRect(QRectF(at(0.12, 0.08), at(0.34, 0.92)));
    painter.drawPolygon(
        QPolygonF({at(0.34, 0.46), at(0.74, 0.08), at(0.96, 0.08), at(0.46, 0.56)}));
    painter.drawPolygon(
        QPolygonF({at(0.42, 0.50), at(0.56, 0.40), at(0.96, 0.92), at(0.72, 0.92)}));
}

} // namespace

QPixmap logoPicture(int width, int height) {
    QPixmap picture(width, height);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, panelTop);
    gradient.setColorAt(1, panelBottom);
    painter.fillRect(picture.rect(), gradient);

    const qreal markSize = height * 0.6;
    const qreal margin = height * 0.2;
    drawMark(painter, QPointF(margin, margin), markSize);

    const QString wordMark = QStringLiteral("KorvanaStudio");
    const QRectF textArea(margin * 2 + markSize, 0, width - margin * 3 - markSize, height);
    QFont font = painter.font();
    font.setBold(true);
    // The largest size up to a quarter of the height at which the word fits.
    for (int size = std::max(8, height / 4); size >= 8; --size) {
        font.setPixelSize(size);
        if (QFontMetricsF(font).horizontalAdvance(wordMark) <= textArea.width()) {
            break;
        }
    }
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft, wordMark);
    return picture;
}

QImage applicationIconImage(int size) {
    // An image, not a pixmap, so that it can be drawn without a display.
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(panelTop);
    painter.drawRoundedRect(picture.rect(), size * 0.18, size * 0.18);
    drawMark(painter, QPointF(0, 0), size);
    painter.end();
    return picture;
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(applicationIconImage(size)));
    }
    return icon;
}

} // namespace korvana::dialogs
