#include "windows/controls/PopupChoice.h"

#include <QComboBox>
#include <QKeyEvent>

namespace windows {
namespace {

class ListOnly : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QComboBox*>(watched);  // none while it is destroyed
        if (!box) {
            return false;
        }
        if (event->type() == QEvent::Wheel) {
            return true;  // scrolling past the box never chooses
        }
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
                box->showPopup();
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

void chooseFromListOnly(QComboBox* box) {
    box->installEventFilter(new ListOnly(box));
}

}  // namespace windows
