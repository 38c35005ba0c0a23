// Quorvane: a desktop catalogue of a personal collection of recordings.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "app/AppState.h"
#include "app/looks/AppPicture.h"
#include "app/looks/Fonts.h"
#include "app/start/CommandLine.h"
#include "app/start/FirstStart.h"
#include "app/start/Locations.h"
#include "platform/QtDesktop.h"
#include "windows/StartApplication.h"
#include "windows/main/FrmMain.h"

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

int refuse(const QString& why) {
    std::fprintf(stderr, "quorvane: %s\nTry 'quorvane --help'.\n", qPrintable(why));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Help and version are answered before the toolkit looks for a display.
    const app::CommandLine line = app::parseCommandLine(argumentsOf(argc, argv));
    switch (line.action) {
        case app::CommandLine::Help:
            std::fputs(qPrintable(app::usageText()), stdout);
            return 0;
        case app::CommandLine::Version:
            std::fputs(qPrintable(app::versionText()), stdout);
            return 0;
        case app::CommandLine::Fail:
            return refuse(line.error);
        case app::CommandLine::Run:
            break;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("quorvane");
    // The toolkit has taken its own options out: what is left is not for anyone.
    if (const auto others = app::parseCommandLine(QApplication::arguments().mid(1)).others;
        !others.isEmpty()) {
        return refuse("unknown argument '" + others.first() + "'.");
    }
    QApplication::setWindowIcon(app::applicationIcon());
    app::installFontSubstitutes();

    const QString programDir = QCoreApplication::applicationDirPath();
    const app::Locations where = app::chooseLocations(
        programDir, line.catalogue,
        app::userDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()),
        app::shareFolder(programDir, QUORVANE_SHARE_RELATIVE));
    platform::QtDesktop desktop(where.appDir);
    app::AppState state(desktop);
    state.session.CatalogueName = where.catalogueName;
    state.ResourceDirs = where.resourceDirs;

    const QString catalogue = QDir(where.appDir).filePath(where.catalogueName);
    app::FirstStart firstStart{app::FirstStart::AlreadyThere, {}};
    if (where.perUser) {
        firstStart =
            app::provideCatalogue(QDir(where.shareDir).filePath(app::TemplateFileName), catalogue);
        if (firstStart.outcome == app::FirstStart::Failed) {
            app::reportFirstStart(desktop, firstStart, catalogue);
            return 1;
        }
    }
    auto mainWindow = windows::StartApplication(state);
    if (!mainWindow) {
        return 0;
    }
    app::reportFirstStart(desktop, firstStart, catalogue);
    return QApplication::exec();
}
