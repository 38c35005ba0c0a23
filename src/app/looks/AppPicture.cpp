#include "app/looks/AppPicture.h"

#include <QPainter>
#include <QRadialGradient>

namespace app {

QPixmap applicationPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(0.5, 0.5, size - 1.0, size - 1.0);
    QRadialGradient vinyl(disc.center(), size / 2.0);
    vinyl.setColorAt(0.0, QColor(60, 60, 70));
    vinyl.setColorAt(1.0, QColor(15, 15, 20));
    painter.setBrush(vinyl);
    painter.setPen(QPen(QColor(0, 0, 0), size / 32.0));
    painter.drawEllipse(disc);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(90, 90, 105), size / 64.0));
    for (double groove = 0.42; groove > 0.22; groove -= 0.06) {
        painter.drawEllipse(disc.center(), size * groove, size * groove);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(125, 200, 255));
    painter.drawEllipse(disc.center(), size * 0.18, size * 0.18);
    painter.setBrush(QColor(155, 25, 25));
    painter.drawEllipse(disc.center(), size * 0.04, size * 0.04);
    return picture;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        icon.addPixmap(applicationPicture(size));
    }
    return icon;
}

}  // namespace app
