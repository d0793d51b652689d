#include "controls/media_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavrin {

namespace {

// Every symbol is drawn on a 16-unit square and scaled to the pixmap.
constexpr qreal kUnits = 16.0;

QPainterPath speaker()
{
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(5, 6);
    path.lineTo(9, 2.5);
    path.lineTo(9, 13.5);
    path.lineTo(5, 10);
    path.lineTo(2, 10);
    path.closeSubpath();
    return path;
}

void drawSymbol(QPainter& painter, MediaIcon kind, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    switch (kind) {
    case MediaIcon::Play:
        painter.drawPolygon(QPolygonF{{QPointF(4, 2.5), QPointF(13.5, 8), QPointF(4, 13.5)}});
        return;
    case MediaIcon::Pause:
        painter.drawRect(QRectF(3.5, 3, 3, 10));
        painter.drawRect(QRectF(9.5, 3, 3, 10));
        return;
    case MediaIcon::Stop:
        painter.drawRect(QRectF(3.5, 3.5, 9, 9));
        return;
    case MediaIcon::Volume:
    case MediaIcon::Muted:
        painter.drawPath(speaker());
        break;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
    if (kind == MediaIcon::Volume) {
        painter.drawArc(QRectF(7, 5, 5, 6), -50 * 16, 100 * 16);
        painter.drawArc(QRectF(6, 2.5, 8.5, 11), -50 * 16, 100 * 16);
    } else {
        painter.drawLine(QPointF(10.5, 5.5), QPointF(14.5, 10.5));
        painter.drawLine(QPointF(14.5, 5.5), QPointF(10.5, 10.5));
    }
}

QPixmap drawnAt(int size, MediaIcon kind, const QColor& colour)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kUnits, size / kUnits);
    drawSymbol(painter, kind, colour);
    return pixmap;
}

} // namespace

QIcon mediaIcon(MediaIcon kind, const QColor& colour)
{
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(drawnAt(size, kind, colour));
    return icon;
}

} // namespace tavrin
