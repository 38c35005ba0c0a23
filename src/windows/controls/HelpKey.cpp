#include "windows/controls/HelpKey.h"

#include <QShortcut>
#include <QWidget>

#include "app/SharedRoutines.h"

namespace windows {

void addHelpKey(QWidget& window, app::AppState& state, int topic) {
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &window);
    QObject::connect(help, &QShortcut::activated, &window,
                     [&window, &state, topic] { app::DisplayHelpOnHelp(state, &window, topic); });
}

}  // namespace windows
