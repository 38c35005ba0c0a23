#include "windows/controls/StatusLabel.h"

#include <QPainter>
#include <QStyle>

namespace windows {

void StatusLabel::paintEvent(QPaintEvent* event) {
    const QRect room = contentsRect().adjusted(indent(), 0, 0, 0);
    const QString whole = text();
    const QString shown = fontMetrics().elidedText(whole, Qt::ElideRight, room.width());
    setToolTip(shown == whole ? QString() : whole);
    if (shown == whole) {
        QLabel::paintEvent(event);
        return;
    }
    QFrame::paintEvent(event);  // the sunken panel
    QPainter painter(this);
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

}  // namespace windows
