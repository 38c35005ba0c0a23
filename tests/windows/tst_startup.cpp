// The program's start: splash for two seconds, then the main window.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "support/MainPage.h"
#include "support/Modal.h"
#include "support/ScriptedDesktop.h"
#include "support/TestCatalogue.h"
#include "windows/StartApplication.h"
#include "windows/main/FrmMain.h"
#include "windows/splash/FrmSplash.h"

using testing::visibleWindow;

class TestStartup : public QObject {
    Q_OBJECT

  private slots:
    void splashStaysTwoSecondsThenTheMainWindowShows() {
        testing::TestCatalogue catalogue({{"ABBA", "Arrival", "Pop", "CD"}});
        testing::ScriptedDesktop desktop;
        desktop.appDirectory = catalogue.directory();
        app::AppState state(desktop);

        const std::uint32_t start = desktop.clock;
        std::uint32_t lastSplashTick = 0;
        QString version;
        desktop.onIdle = [&] {
            if (auto* splash = visibleWindow<windows::FrmSplash>()) {
                lastSplashTick = desktop.clock;
                version = splash->lblVersion->text();
                QVERIFY(!visibleWindow<windows::FrmMain>());
                QVERIFY(desktop.busy);
            }
        };
        auto main = windows::StartApplication(state);
        QVERIFY(main);
        QVERIFY(lastSplashTick - start >= 2000);
        QVERIFY(lastSplashTick - start < 2100);
        QCOMPARE(version, "Version " + state.VersionText);
        QVERIFY(!visibleWindow<windows::FrmSplash>());
        QVERIFY(main->isVisible());
        QCOMPARE(testing::MainPage(*main).CmbArtist->currentText(), QString("ABBA"));
        QVERIFY(!desktop.busy);
        QCOMPARE(state.session.AppDir, catalogue.directory() + "/");
        QVERIFY(desktop.messages.empty());
    }

    void splashShowsTheMakersLinesOverTheGradient() {
        testing::ScriptedDesktop desktop;
        app::AppState state(desktop);
        app::SetAboutStrings(state);
        windows::FrmSplash splash(state);
        splash.Form_Load();
        QCOMPARE(splash.lblProductName->text(), QString("Quorvane"));
        QCOMPARE(splash.lblCopyright->text(), state.NoticeText);
        QCOMPARE(splash.lblCompany->text(), state.CompanyText);
        QCOMPARE(splash.lblCompanyProduct->text(), state.CompanyText);
        QCOMPARE(splash.size(), QSize(388, 185));
        const QImage image = splash.grab().toImage();
        QCOMPARE(QColor(image.pixel(2, 0)), QColor(125, 200, 255));
    }

    void failedStartEndsWithoutAMainWindow() {
        QTemporaryDir empty;
        testing::ScriptedDesktop desktop;
        desktop.appDirectory = empty.path();
        app::AppState state(desktop);
        desktop.answers = {platform::Answer::Ok, platform::Answer::Ok};
        auto main = windows::StartApplication(state);
        QVERIFY(!main);
        QCOMPARE(desktop.ended, 1);
        QCOMPARE(desktop.messages.size(), std::size_t(2));
        QVERIFY(!QFile::exists(empty.filePath("Zembo.mdb")));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
