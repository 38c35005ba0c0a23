// The program's top-level windows as the window system and screen readers see them: the
// side windows block the main window but not the help viewer, which is a window of its own,
// and every window is announced as a window or a dialog.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>
#include <map>
#include <utility>

#include "platform/HelpViewer.h"
#include "platform/QtDesktop.h"
#include "platform/ScreenFit.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/StartApplication.h"
#include "windows/about/FrmAbout.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/report/FrmReportPreview.h"
#include "windows/reporttitle/FrmReportTitle.h"
#include "windows/search/FrmSearch.h"
#include "windows/splash/FrmSplash.h"

using platform::HelpViewer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;

namespace {

// How the user opens each modal side window from the main window.
std::function<void()> modalOpener(MainWindowFixture& f, const QString& name) {
    auto& w = *f.page;
    if (name == "import preview") {
        const QString csv = f.catalogue.directory() + "/new.csv";
        QFile file(csv);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("Artist,Title\nNina Simone,Pastel Blues\n");
        }
        f.desktop.openFileAnswers = {csv};
    }
    const std::map<QString, std::function<void()>> openers = {
        {"search", [&w] { click(w.CmdSearch); }},
        {"counts", [&w] { w.mnuCounts->trigger(); }},
        {"artist editor", [&w] { click(w.cmdArtist); }},
        {"category editor", [&w] { click(w.cmdCategory); }},
        {"format editor", [&w] { click(w.cmdFormat); }},
        {"report title", [&w] { w.mnuReportTitle->trigger(); }},
        {"import preview", [&w] { w.mnuFileImport->trigger(); }},
    };
    const auto found = openers.find(name);
    return found == openers.end() ? std::function<void()>() : found->second;
}

const char* const ModalWindows[] = {"search",          "counts",        "artist editor",
                                    "category editor", "format editor", "report title",
                                    "import preview"};

// The windows ask the real desktop for help, so the real viewer is shown.
void showRealHelp(MainWindowFixture& f, platform::QtDesktop& desktop) {
    f.state.ResourceDirs = {QUORVANE_DATA_DIR};
    f.desktop.helpShower = [&desktop](QWidget* owner, const QString& file, int context) {
        return desktop.showHelp(owner, file, context);
    };
}

// A click as the window system delivers it: Qt drops it for a window a modal one blocks.
void clickThroughWindow(QWidget* button) {
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window, button->rect().center()));
}

// Keys as the window system delivers them: Ctrl+F, then a letter for the help's search box.
QString typedIntoSearch(HelpViewer* viewer, char letter) {
    viewer->searchBox()->clear();
    QTest::keyClick(viewer->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(viewer->windowHandle(), letter);
    return viewer->searchBox()->text();
}

QString topic(HelpViewer* viewer) {
    return viewer->browser()->source().fragment();
}

}  // namespace

class TestTopLevelWindows : public QObject {
    Q_OBJECT

  private slots:
    void helpOpenedBeforeStaysUsableBesideEachModalWindow_data() {
        QTest::addColumn<QString>("window");
        for (const char* name : ModalWindows) {
            QTest::newRow(name) << QString(name);
        }
    }
    void helpOpenedBeforeStaysUsableBesideEachModalWindow() {
        QFETCH(QString, window);
        MainWindowFixture f(testing::threeRecords());
        platform::QtDesktop desktop(f.catalogue.directory());
        showRealHelp(f, desktop);
        auto& w = shown(f);
        QTest::keyClick(w.window().windowHandle(), Qt::Key_F1);
        HelpViewer* viewer = testing::visibleWindow<HelpViewer>();
        QVERIFY(viewer);
        viewer->browser()->setSource(QUrl("#topic320"));  // a link followed
        clickThroughWindow(w.CmdNext);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));

        testing::whileModal<QDialog>(modalOpener(f, window), [&](QDialog&) {
            QAction* back = viewer->findChild<QAction*>("HelpBack");
            clickThroughWindow(viewer->findChild<QToolBar*>()->widgetForAction(back));
            QCOMPARE(topic(viewer), QString("topic10"));
            clickThroughWindow(w.CmdNext);  // the main window is blocked
            QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        });
        QVERIFY(f.desktop.messages.empty());
    }

    // F1 in every window opens the help at the part about that window.
    void f1InEveryWindowOpensItsPart() {
        MainWindowFixture f(testing::threeRecords());
        f.state.ResourceDirs = {QUORVANE_DATA_DIR};
        auto& w = shown(f);
        const std::map<QString, int> modal = {{"search", 320},        {"counts", 410},
                                              {"artist editor", 420}, {"category editor", 420},
                                              {"format editor", 420}, {"report title", 210},
                                              {"import preview", 440}};
        for (const auto& [name, context] : modal) {
            testing::whileModal<QDialog>(modalOpener(f, name), [&](QDialog& window) {
                QTest::keyClick(window.windowHandle(), Qt::Key_F1);
            });
            QVERIFY2(!f.desktop.helpRequests.empty(), qPrintable(name));
            QCOMPARE(f.desktop.helpRequests.back().context, context);
        }
        auto pressF1In = [](QWidget* window) {
            QApplication::setActiveWindow(window);  // the headless platform leaves it to us
            QTRY_VERIFY(window->isActiveWindow());
            QTest::keyClick(window->windowHandle(), Qt::Key_F1);
        };
        click(w.CmdBrowse);
        pressF1In(w.window().frmBrowse());
        QCOMPARE(f.desktop.helpRequests.back().context, 400);
        w.window().frmBrowse()->close();
        w.mnuReportFullReport->trigger();
        auto* preview = testing::visibleWindow<windows::FrmReportPreview>();
        QVERIFY(preview);
        pressF1In(preview);
        QCOMPARE(f.desktop.helpRequests.back().context, 430);
        preview->close();
        QCOMPARE(f.desktop.helpRequests.size(), modal.size() + 2);
    }

    // A message box is wide enough for its caption; a window sized in pixels fits its screen.
    void windowsFitTheirTitlesAndTheScreen() {
        MainWindowFixture f(testing::threeRecords());
        platform::QtDesktop desktop(f.catalogue.directory());
        int width = 0;
        QString title;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            width = box->width();
            title = box->windowTitle();
            box->close();
        });
        desktop.messageBox("Search not found", platform::Buttons::Ok, platform::Icon::Information,
                           QString());
        const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        // The title, and beside it the frame's icon and three buttons.
        QVERIFY(width >= QFontMetrics(titleFont).horizontalAdvance(title) + 140);

        QWidget large;
        large.resize(5000, 4000);
        large.move(-300, 200);
        platform::fitOnScreen(large);
        const QRect area = large.screen()->availableGeometry();
        QVERIFY(area.contains(large.geometry()));
        QVERIFY(large.width() > area.width() - 100 && large.height() > area.height() - 100);
    }

    void helpAskedForInAModalWindowComesForwardAndOutlivesIt() {
        MainWindowFixture f(testing::threeRecords());
        QPointer<HelpViewer> viewer;
        {
            platform::QtDesktop desktop(f.catalogue.directory());
            showRealHelp(f, desktop);
            auto& w = shown(f);
            testing::whileModal<windows::FrmReportTitle>(
                [&] { w.mnuReportTitle->trigger(); },
                [&](windows::FrmReportTitle& t) {
                    QTest::keyClick(&t, Qt::Key_F1);
                    viewer = testing::visibleWindow<HelpViewer>();
                    QVERIFY(viewer);
                    QCOMPARE(topic(viewer), QString("topic210"));
                    QTRY_VERIFY(viewer->isActiveWindow());
                    QCOMPARE(typedIntoSearch(viewer, 'q'), QString("q"));
                    QTest::keyClick(t.txtReportTitle, Qt::Key_Escape);
                });
            QTest::qWait(10);  // a deletion left to the event loop is done by now
            QVERIFY(viewer && viewer->isVisible());

            testing::whileModal<windows::FrmSearch>(
                [&] { click(w.CmdSearch); },
                [&](windows::FrmSearch& s) {
                    QTest::keyClick(&s, Qt::Key_F1);
                    QCOMPARE(topic(viewer), QString("topic320"));
                    QTRY_VERIFY(viewer->isActiveWindow());
                    QTest::keyClick(viewer->windowHandle(), Qt::Key_Left,
                                    Qt::AltModifier);  // Back
                    QCOMPARE(topic(viewer), QString("topic210"));
                });
            QCOMPARE(testing::visibleWindow<HelpViewer>(), viewer.data());  // one viewer all along
            QVERIFY(f.desktop.messages.empty());
        }
        QVERIFY(!viewer);  // it goes with the desktop, at the program's end
    }

    void eachWindowIsAnnouncedAsAWindow_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("role");
        for (const char* name : ModalWindows) {
            QTest::newRow(name) << QString(name) << int(QAccessible::Dialog);
        }
        for (const char* name : {"main window", "browse", "about", "report preview", "splash"}) {
            QTest::newRow(name) << QString(name) << int(QAccessible::Window);
        }
    }
    void eachWindowIsAnnouncedAsAWindow() {
        QFETCH(QString, window);
        QFETCH(int, role);
        MainWindowFixture f(testing::threeRecords());
        auto roleOf = [role](QWidget* shownWindow) {
            QVERIFY(shownWindow);
            QCOMPARE(int(QAccessible::queryAccessibleInterface(shownWindow)->role()), role);
        };
        if (window == "splash") {  // shown by the program's start, before the main window
            bool seen = false;
            f.desktop.onIdle = [&] {
                if (!std::exchange(seen, true)) {
                    roleOf(testing::visibleWindow<windows::FrmSplash>());
                }
            };
            QVERIFY(windows::StartApplication(f.state));
            QVERIFY(seen);
            return;
        }
        auto& w = shown(f);
        if (const auto open = modalOpener(f, window)) {
            testing::whileModal<QDialog>(open, [&](QDialog& dialog) { roleOf(&dialog); });
        } else if (window == "main window") {
            roleOf(&w.window());
        } else if (window == "browse") {
            click(w.CmdBrowse);
            roleOf(testing::visibleWindow<windows::FrmBrowse>());
        } else if (window == "about") {
            w.mnuHelpAbout->trigger();
            roleOf(testing::visibleWindow<windows::FrmAbout>());
        } else {
            for (const char* layout : {"Zembo1.rpt", "Zembo2.rpt"}) {
                QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DATA_DIR "/") + layout,
                                    f.catalogue.directory() + "/" + layout));
            }
            w.mnuReportFullReport->trigger();
            roleOf(testing::visibleWindow<windows::FrmReportPreview>());
        }
    }
};

QTEST_MAIN(TestTopLevelWindows)
#include "tst_top_level_windows.moc"
