#include "app/SharedRoutines.h"

#include <QLineEdit>
#include <QLocale>

#include "app/AppState.h"
#include "app/start/Locations.h"

namespace app {

void SetAboutStrings(AppState& state) {
    state.NoticeText = QStringLiteral("Copyright \u00A9 2026");
    state.CompanyText = QStringLiteral("Quorvane Works");
    state.VersionText = QStringLiteral("%1.%2.%3")
                            .arg(QUORVANE_VERSION_MAJOR)
                            .arg(QUORVANE_VERSION_MINOR)
                            .arg(QUORVANE_VERSION_PATCH);
}

QString TallyText(std::int64_t tally) {
    return QString::number(tally) + (tally == 1 ? " Artist " : " Artists ");
}

QString counted(std::int64_t count, const char* one, const char* many) {
    return QLocale().toString(static_cast<qlonglong>(count)) + " " + (count == 1 ? one : many);
}

QString failureText(const QString& what, const db::DbError& error) {
    return what + "\r\n" + QString::fromStdString(error.description);
}

QString procedureMessage(const db::DbError& error, const QString& procedure, const QString& form) {
    return QStringLiteral("Error %1 (%2) in procedure %3 of Form '%4'")
        .arg(error.number)
        .arg(QString::fromStdString(error.description), procedure, form);
}

}  // namespace app

namespace app {

bool runSteps(std::initializer_list<Step> steps, const ErrorTrap& trap) {
    for (const Step& step : steps) {
        try {
            step();
        } catch (const db::DbError& error) {
            if (trap(error) == Trap::Stop) {
                return false;
            }
        }
    }
    return true;
}

void DisplayHelpOnHelp(AppState& state, QWidget* window, int context) {
    constexpr int NoHelp = 9998;
    const QString helpFile = findResource(state.session.AppDir, state.ResourceDirs, "Quorvane.hlp");
    if (context >= NoHelp) {
        return;
    }
    if (const auto failure = state.desktop.showHelp(window, helpFile, context)) {
        state.desktop.messageBox(QStringLiteral("Error in modMain , DisplayHelpOnHelp().  %1 %2")
                                     .arg(failure->number)
                                     .arg(failure->description),
                                 platform::Buttons::Ok, platform::Icon::Critical);
    }
}

void SelectAllText(QLineEdit* box) {
    box->setSelection(0, static_cast<int>(box->text().size()));
}

}  // namespace app
