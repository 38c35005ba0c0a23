#include "windows/StartApplication.h"

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/start/FirstStart.h"
#include "windows/main/FrmMain.h"
#include "windows/splash/FrmSplash.h"

namespace windows {
namespace {

constexpr std::uint32_t SplashMilliseconds = 2000;
constexpr int SplashPollMilliseconds = 20;

}  // namespace

std::unique_ptr<FrmMain> StartApplication(app::AppState& state) {
    platform::Desktop& desktop = state.desktop;
    std::unique_ptr<FrmMain> main;
    try {
        desktop.setBusyPointer(true);
        app::SetAboutStrings(state);
        state.session.AppDir = desktop.applicationDirectory() + "/";
        app::clearLeftovers(state.session.AppDir);
        {
            FrmSplash splash(state);
            splash.Form_Load();
            splash.show();
            const std::uint32_t start = desktop.tickCount();
            while (desktop.tickCount() - start < SplashMilliseconds) {
                desktop.idle(SplashPollMilliseconds);
            }
        }
        main = std::make_unique<FrmMain>(state);
        main->Form_Load();
        if (state.Ended) {
            return nullptr;
        }
        main->show();
        desktop.setBusyPointer(false);
    } catch (const db::DbError& error) {
        desktop.messageBox(QStringLiteral("Error#: %1 - %2")
                               .arg(error.number)
                               .arg(QString::fromStdString(error.description)),
                           platform::Buttons::Ok, platform::Icon::Critical);
        desktop.setBusyPointer(false);
        state.Ended = true;
        desktop.endProgram();
        return nullptr;
    }
    return main;
}

}  // namespace windows
