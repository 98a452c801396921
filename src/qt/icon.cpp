#include "qt/icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qtui {
namespace {

// A stopwatch on a red tile: the crown on top, a white face, and the hand at
// a quarter past, drawn fresh at each size so small icons stay crisp.
QPixmap drawIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
    p.fillPath(tile, QColor(196, 30, 36));

    const QPointF centre(s / 2, s * 0.56);
    const qreal radius = s * 0.34;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 102));
    p.drawRoundedRect(QRectF(s / 2 - s * 0.08, s * 0.08, s * 0.16, s * 0.12), s * 0.03, s * 0.03);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(255, 214, 102), std::max(1.0, s / 16)));
    p.drawEllipse(centre, radius, radius);

    p.setPen(QPen(QColor(40, 40, 40), std::max(1.0, s / 14), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -radius * 0.72));
    p.drawLine(centre, centre + QPointF(radius * 0.55, 0));
    if (size >= 24) {
        p.setPen(QPen(QColor(196, 30, 36), std::max(1.0, s / 24)));
        for (int i = 0; i < 12; ++i) {
            QTransform t;
            t.translate(centre.x(), centre.y());
            t.rotate(i * 30);
            p.drawLine(t.map(QPointF(0, -radius * 0.86)), t.map(QPointF(0, -radius * 0.98)));
        }
    }
    return pm;
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {48, 32, 24, 16}) icon.addPixmap(drawIcon(size));
    return icon;
}

}  // namespace qtui
