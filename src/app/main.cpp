// Quorvane: a desktop catalogue of a personal collection of recordings.
#include <QApplication>

#include "app/AppPicture.h"
#include "app/AppState.h"
#include "app/Fonts.h"
#include "platform/QtDesktop.h"
#include "windows/StartApplication.h"
#include "windows/main/FrmMain.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("quorvane");
    QApplication::setWindowIcon(app::applicationIcon());
    app::installFontSubstitutes();

    platform::QtDesktop desktop;
    app::AppState state(desktop);
    auto mainWindow = windows::StartApplication(state);
    if (!mainWindow) {
        return 0;
    }
    return QApplication::exec();
}
