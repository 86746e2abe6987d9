#include "ui/common/appicon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmor {

void PaintEmblem(QPainter &painter, const QRectF &square)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    painter.scale(square.width() / 64.0, square.height() / 64.0);

    // Blue rounded square.
    QLinearGradient background(0, 0, 0, 64);
    background.setColorAt(0, QColor(52, 120, 210));
    background.setColorAt(1, QColor(20, 62, 140));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // White speech bubble with a tail at the lower left.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(10, 12, 44, 30), 8, 8);
    QPainterPath tail;
    tail.moveTo(18, 40);
    tail.lineTo(14, 53);
    tail.lineTo(30, 40);
    tail.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(bubble.united(tail));

    // Three text lines in the bubble.
    painter.setBrush(QColor(52, 120, 210));
    painter.drawRoundedRect(QRectF(17, 19, 30, 4), 2, 2);
    painter.drawRoundedRect(QRectF(17, 25.5, 30, 4), 2, 2);
    painter.drawRoundedRect(QRectF(17, 32, 19, 4), 2, 2);
    painter.restore();
}

QImage ApplicationIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintEmblem(painter, QRectF(0, 0, size, size));
    painter.end();
    return image;
}

void PaintEmblemBackground(QPainter &painter, const QRectF &area)
{
    QLinearGradient background(area.topLeft(), area.bottomRight());
    background.setColorAt(0.0, QColor(246, 250, 255));
    background.setColorAt(0.6, QColor(214, 230, 250));
    background.setColorAt(1.0, QColor(178, 205, 240));
    painter.fillRect(area, background);
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : kApplicationIconSizes)
        icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
    return icon;
}

} // namespace velmor
