// The About window: its texts, the ways it closes, the 30-second wait and its restart, the
// links, and the tune from load to unload.
#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "windows/about/FrmAbout.h"

using testing::MainWindowFixture;
using testing::shown;
using windows::FrmAbout;

namespace {

FrmAbout* aboutWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<FrmAbout*>(window); about && about->isVisible()) {
            return about;
        }
    }
    return nullptr;
}

// About chosen from the Help menu, the window shown and active.
FrmAbout* openAbout(testing::MainPage& w) {
    w.mnuHelpAbout->trigger();
    FrmAbout* about = aboutWindow();
    if (about && !QTest::qWaitForWindowActive(about)) {
        qWarning("the About window did not become active");
    }
    return about;
}

QColor ink(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

const QColor DarkBlue(0, 0, 192), Cyan(0, 255, 255), DarkGreen(0, 128, 0);

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

  private slots:
    void showsItsTextsAboveTheMainWindowWhichStaysUsable() {
        MainWindowFixture f;
        auto& w = shown(f);
        QPointer<FrmAbout> about = openAbout(w);
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QString("About Quorvane"));
        QCOMPARE(about->lblTitle->text(), QString("Quorvane"));
        QCOMPARE(about->lblVersion->text(), "Version " + f.state.VersionText);
        QCOMPARE(about->lblOwner->text(),
                 f.state.NoticeText + " " + f.state.CompanyText + "\r\n\r\n");
        QCOMPARE(about->lblEmail->text(), FrmAbout::EmailAddress);
        QCOMPARE(about->lblMyWebSite->text(), QString("quorvane.example"));
        QCOMPARE(ink(about->lblEmail), DarkBlue);
        QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!about->parentWidget() && !about->isModal());
        QCOMPARE(QApplication::focusWidget(), about->cmdOK);
        QCOMPARE(f.desktop.tunesPlayed, QStringList{f.state.session.AppDir + "VodiZav.Mid"});
        QVERIFY(f.desktop.tunePlaying);
        QVERIFY(w.window().isEnabled() && w.CmdNext->isEnabled());  // modeless
    }

    void eachWayOutClosesItAndStopsTheTune_data() {
        QTest::addColumn<QString>("way");
        for (const char* way : {"Esc", "Enter", "Enter on a link", "OK clicked", "focus lost"}) {
            QTest::newRow(way) << way;
        }
    }
    void eachWayOutClosesItAndStopsTheTune() {
        QFETCH(QString, way);
        MainWindowFixture f;
        auto& w = shown(f);
        QPointer<FrmAbout> about = openAbout(w);
        QVERIFY(about);
        if (way == "Esc") {
            QTest::keyClick(about->cmdOK, Qt::Key_Escape);
        } else if (way == "Enter") {
            QTest::keyClick(about->cmdOK, Qt::Key_Return);
        } else if (way == "Enter on a link") {
            about->lblEmail->setFocus();
            QTest::keyClick(about->lblEmail, Qt::Key_Enter);
        } else if (way == "OK clicked") {
            QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        } else {
            w.window().activateWindow();
        }
        QTRY_VERIFY(!about);
        QVERIFY(!f.desktop.tunePlaying);
        QVERIFY(f.desktop.addresses.isEmpty());
    }

    void closesThirtySecondsAfterItsLatestActivation_data() {
        QTest::addColumn<std::uint32_t>("clock");
        QTest::newRow("clock at 1000") << std::uint32_t(1000);
        QTest::newRow("clock about to wrap") << std::uint32_t(0xFFFFFFFF - 10'000);
    }
    void closesThirtySecondsAfterItsLatestActivation() {
        QFETCH(std::uint32_t, clock);
        MainWindowFixture f;
        auto& w = shown(f);
        f.desktop.clock = clock;
        QPointer<FrmAbout> about = openAbout(w);
        QVERIFY(about);
        f.desktop.advance(20'000);
        w.mnuHelpAbout->trigger();  // brings it forward: a new wait, the same window
        QCOMPARE(aboutWindow(), about.data());
        QCOMPARE(f.desktop.tunesPlayed.size(), 1);  // the tune goes on
        f.desktop.advance(FrmAbout::WaitMilliseconds - 1);
        QVERIFY(about && about->isVisible());
        f.desktop.advance(1);
        QTRY_VERIFY(!about);
        QVERIFY(!f.desktop.tunePlaying);
    }

    void linksTakeTheirColoursAndOpenTheirAddresses() {
        MainWindowFixture f;
        auto& w = shown(f);
        QPointer<FrmAbout> about = openAbout(w);
        QVERIFY(about);
        QTest::mousePress(about->lblEmail, Qt::LeftButton);
        QCOMPARE(ink(about->lblEmail), Cyan);
        // Released away from the label: the press began on it, so it acts.
        QTest::mouseRelease(about->lblEmail, Qt::LeftButton, {}, QPoint(-40, -40));
        QCOMPARE(ink(about->lblEmail), DarkBlue);
        QCOMPARE(f.desktop.addresses, QStringList{"mailto:" + FrmAbout::EmailAddress});

        QTest::mousePress(about->lblMyWebSite, Qt::LeftButton);
        QCOMPARE(ink(about->lblMyWebSite), Cyan);
        QTest::mouseRelease(about->lblMyWebSite, Qt::LeftButton);
        QCOMPARE(ink(about->lblMyWebSite), DarkGreen);
        QCOMPARE(f.desktop.addresses.last(), FrmAbout::WebAddress);

        about->lblEmail->setFocus();  // from the keyboard: Tab to a link, Space
        QTest::keyClick(about->lblEmail, Qt::Key_Space);
        QCOMPARE(f.desktop.addresses.size(), 3);
        QCOMPARE(ink(about->lblMyWebSite), DarkGreen);  // until the window closes
        QVERIFY(about->isVisible());
    }

    void aSecondOpeningIsANewWindowPlayingTheTuneFromTheStart() {
        MainWindowFixture f;
        auto& w = shown(f);
        QPointer<FrmAbout> first = openAbout(w);
        QVERIFY(first);
        QTest::keyClick(first->cmdOK, Qt::Key_Escape);
        QTRY_VERIFY(!first);
        QPointer<FrmAbout> second = openAbout(w);
        QVERIFY(second);
        QCOMPARE(f.desktop.tunesPlayed, QStringList(2, f.state.session.AppDir + "VodiZav.Mid"));
        QVERIFY(f.desktop.tunePlaying);
        f.window.reset();  // the program ends with About open: it goes too, the tune stops
        QVERIFY(!second);
        QVERIFY(!f.desktop.tunePlaying);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
