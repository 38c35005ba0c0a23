// Windows side by side: the browse window open beside the main window while that is in add
// mode or runs a long command, and a view change with an edit on screen.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "support/BrowseGrid.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/counts/FrmCounts.h"
#include "windows/lookup/LookupEditor.h"
#include "windows/search/FrmSearch.h"
#include "windows/transfer/FrmImport.h"

using platform::Answer;
using testing::click;
using testing::doubleClickRow;
using testing::MainPage;
using testing::MainWindowFixture;
using testing::SaveChanges;
using testing::shown;
using windows::FrmBrowse;

namespace {

const QString AddQuestion = QStringLiteral("New record has been entered\r\nAdd Record?");
const QString ArtistOffer =
    QStringLiteral("Name not in Artist Database\r\nWould you like to add it?");

// Every record as SQL literals, in the order they were stored.
QStringList exactRows(testing::TestCatalogue& catalogue) {
    return catalogue.column(
        "SELECT quote(Artist) || '|' || quote(Title) || '|' || quote(Category) || '|' || "
        "quote(Format) FROM Main ORDER BY rowid");
}

// The browse window filled and shown beside the main window, which is then active again.
FrmBrowse& browseBeside(MainPage& w) {
    click(w.CmdBrowse);
    FrmBrowse* browse = w.window().frmBrowse();
    QApplication::setActiveWindow(&w.window());
    return *browse;
}

// Looks, each time a run lets events run, at which windows a user could still act in, and
// double-clicks the last row of the browse grid once, as a user would.
struct RunWatch {
    MainPage& w;
    FrmBrowse& browse;
    bool tryClosing;  // the main window closed by the user as well
    int turns = 0;
    QStringList usable;  // windows other than the running one that were enabled

    void look() {
        if (w.window().centralWidget()->isEnabled()) {
            return;  // not inside a run
        }
        if (++turns == 1 && browse.Grid1->isVisible()) {
            doubleClickRow(browse, 1);
        }
        if (tryClosing && browse.Grid1->isVisible()) {  // a refill stops at a close
            w.window().close();
        }
        for (QWidget* window : QApplication::topLevelWidgets()) {
            const auto type = window->windowType();
            const bool asked = qobject_cast<QMessageBox*>(window) ||
                               qobject_cast<QProgressDialog*>(window);  // the run's own
            if ((type == Qt::Window || type == Qt::Dialog) && window != &w.window() && !asked &&
                window->isEnabled()) {
                usable << window->metaObject()->className();
            }
        }
    }
};

}  // namespace

class TestSideBySide : public QObject {
    Q_OBJECT

  private slots:
    // The help says what search mode allows as the program does: the commands it turns off
    // are those the help says wait, the others those it says work on the records found.
    void theHelpSaysWhatSearchModeAllows() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        QFile help(QUORVANE_DATA_DIR "/Quorvane.hlp");
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(help.readAll()).simplified();
        const QString criteria = text.section("<li><b>Criteria</b>", 1).section("</li>", 0, 0);
        const QString use = criteria.section(" use them.", 0, 0).section("(search mode):", 1);
        const QString wait = criteria.section(" use them.", 1).section(" wait until", 0, 0);
        f.state.Modes.enterSearching();  // the window shows the commands as the mode allows
        const std::pair<QObject*, const char*> commands[] = {{w.CmdAdd, "Adding"},
                                                             {w.CmdDelete, "deleting"},
                                                             {w.mnuView, "another view"},
                                                             {w.mnuFileImport, "an import"},
                                                             {w.mnuFileImportMusic, "an import"},
                                                             {w.mnuFileDeleteAll, "Delete All"},
                                                             {w.mnuRepairDatabase, "Repair"},
                                                             {w.CmdUpdate, "changing"},
                                                             {w.CmdBrowse, "browsing"},
                                                             {w.mnuReport, "reports"},
                                                             {w.mnuFileExport, "export"},
                                                             {w.CmdNext, "moving"}};
        for (const auto& [command, name] : commands) {
            auto* action = qobject_cast<QAction*>(command);
            auto* menu = qobject_cast<QMenu*>(command);
            const bool on = action ? action->isEnabled()
                            : menu ? menu->menuAction()->isEnabled()
                                   : static_cast<QWidget*>(command)->isEnabled();
            QVERIFY2((on ? use : wait).contains(name), name);
            QVERIFY2(!(on ? wait : use).contains(name), name);
        }
    }

    // A double-click in the browse grid while a new record is being entered.
    void aJumpInAddModeNeverWritesOverAStoredRecord_data() {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("jumps");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("added");  // artist|title of the new row, if any

        const QString noTitle = "Artist and Title can not be empty.";
        QTest::newRow("nothing typed") << ""
                                       << "" << QList<Answer>{} << QStringList{} << true
                                       << "Add Mode Canceled" << QStringList{};
        QTest::newRow("blanks only") << " "
                                     << "" << QList<Answer>{} << QStringList{} << true
                                     << "Add Mode Canceled" << QStringList{};
        QTest::newRow("typed, not added")
            << "Nina Simone"
            << "Pastel Blues" << QList<Answer>{Answer::No} << QStringList{AddQuestion} << true
            << "Add Mode Canceled" << QStringList{};
        QTest::newRow("typed, added with its artist")
            << "Nina Simone"
            << "Pastel Blues" << QList<Answer>{Answer::Yes, Answer::Yes}
            << QStringList{AddQuestion, ArtistOffer} << true << "Record Added"
            << QStringList{"Nina Simone|Pastel Blues"};
        QTest::newRow("no title, retried")
            << "Nina Simone"
            << "" << QList<Answer>{Answer::Yes, Answer::No, Answer::Retry}
            << QStringList{AddQuestion, ArtistOffer, noTitle} << false
            << "Add Mode - Esc key to cancel" << QStringList{};
        QTest::newRow("no title, cancelled")
            << "Nina Simone"
            << "" << QList<Answer>{Answer::Yes, Answer::No, Answer::Cancel}
            << QStringList{AddQuestion, ArtistOffer, noTitle} << true << "" << QStringList{};
    }
    void aJumpInAddModeNeverWritesOverAStoredRecord() {
        QFETCH(QString, artist);
        QFETCH(QString, title);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, asked);
        QFETCH(bool, jumps);
        QFETCH(QString, status);
        QFETCH(QStringList, added);

        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        FrmBrowse& browse = browseBeside(w);
        click(w.CmdNext);  // Bob Dylan is shown when Add is pressed
        const QStringList before = exactRows(f.catalogue);
        click(w.CmdAdd);
        QTest::keyClicks(w.txtTitle, title);
        QTest::keyClicks(w.CmbArtist, artist);  // the focus stays in the artist box
        f.desktop.answers.assign(answers.begin(), answers.end());
        QApplication::setActiveWindow(&browse);  // as the click in it makes it
        doubleClickRow(browse, 2);               // Coltrane

        QCOMPARE(f.desktop.messageTexts(), asked);
        QCOMPARE(exactRows(f.catalogue).mid(0, 3), before);
        QCOMPARE(f.catalogue.column("SELECT Artist || '|' || Title FROM Main WHERE rowid > 3"),
                 added);
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Artist WHERE Artist = 'Nina Simone'"),
                 QStringList{added.isEmpty() ? "0" : "1"});
        QCOMPARE(w.lblMsgBar1->text(), status);
        QCOMPARE(w.lblMsgBar3->text(), QString("%1 Artists ").arg(3 + added.size()));
        QCOMPARE(f.state.Modes.adding(), !jumps);
        QCOMPARE(browse.isVisible(), !jumps);
        if (jumps) {
            QCOMPARE(w.CmbArtist->currentText(), QString("Coltrane"));
            QCOMPARE(w.CmdAdd->text(), QString("&Add"));
            QVERIFY(w.CmdNext->isEnabled() && w.mnuView->isEnabled());
            f.desktop.messages.clear();
            click(w.CmdPrev);  // nothing was left marked as an edit
            QVERIFY(f.desktop.messages.empty());
        } else {
            QCOMPARE(w.CmbArtist->currentText(), artist);
            QVERIFY(!w.CmdNext->isEnabled());
        }
    }

    // An entry that cannot be added (another program holds the file) stays in add mode, in
    // front, and the jump does not happen.
    void aJumpWaitsForAnEntryThatCannotBeAdded() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        FrmBrowse& browse = browseBeside(w);
        click(w.CmdAdd);
        QTest::keyClicks(w.CmbArtist, "ABBA");
        f.desktop.answers = {Answer::No};  // ABBA is in no list: offered, declined
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w.txtTitle, "Waterloo");
        {
            testing::FileLock holder(f.catalogue.path());
            f.desktop.answers = {Answer::Yes, Answer::Ok};
            QApplication::setActiveWindow(&browse);
            doubleClickRow(browse, 2);
        }
        QVERIFY(f.desktop.messages.back().text.startsWith("The record could not be added."));
        QVERIFY(f.state.Modes.adding() && browse.isVisible());
        QCOMPARE(w.txtTitle->text(), QString("Waterloo"));
        QTRY_VERIFY(w.window().isActiveWindow());
        click(w.CmdAdd);  // the file free again, Insert adds it
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"4"});
    }

    // While a long run goes, every other window is held: a double-click in the browse grid
    // cannot move the records the run walks, and the windows are painted again meanwhile.
    void everyOtherWindowIsHeldDuringALongRun_data() {
        QTest::addColumn<QString>("run");
        QTest::addColumn<int>("after");        // records in the catalogue and the grid after it
        QTest::addColumn<bool>("tryClosing");  // closed during the run: it closes after
        QTest::newRow("browse fill") << "browse fill" << 5000 << false;
        QTest::newRow("delete all") << "delete all" << 0 << true;
        QTest::newRow("repair") << "repair" << 5000 << true;
        QTest::newRow("import") << "import" << 7000 << false;
        QTest::newRow("export") << "export" << 5000 << true;
        QTest::newRow("report as PDF") << "report as PDF" << 5000 << true;
    }
    void everyOtherWindowIsHeldDuringALongRun() {
        QFETCH(QString, run);
        QFETCH(int, after);
        QFETCH(bool, tryClosing);
        constexpr int Records = 5000;
        MainWindowFixture f(testing::numberedRecords(Records));
        for (const char* layout : {"Zembo1.rpt", "Zembo2.rpt"}) {
            QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DATA_DIR "/") + layout,
                                f.catalogue.directory() + "/" + layout));
        }
        auto& w = shown(f);
        // The side windows a user has had open: the counts, the search and the artist editor
        // (each hidden when left), and the browse window beside the main window.
        testing::whileModal<windows::FrmCounts>([&] { w.mnuCounts->trigger(); },
                                                [](windows::FrmCounts&) {});
        w.window().frmSearch();
        w.window().frmArtist();
        FrmBrowse& browse = browseBeside(w);

        RunWatch watch{w, browse, tryClosing, 0, {}};
        f.desktop.onEvents = [&] { watch.look(); };
        QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged, [&] { watch.look(); });
        QTimer timer;  // the report's progress window lets the toolkit's own events run
        QObject::connect(&timer, &QTimer::timeout, [&] { watch.look(); });
        timer.start(0);

        const QString dir = f.catalogue.directory();
        if (run == "browse fill") {
            click(w.CmdBrowse);
            QCOMPARE(browse.Grid1->model()->rowCount(), Records);
        } else if (run == "delete all") {
            // Closing while records are marked asks to stop (No); later it waits quietly.
            f.desktop.answers = {Answer::Yes, Answer::Yes, Answer::No};
            w.mnuFileDeleteAll->trigger();
            QCOMPARE(f.desktop.messages.back().text, QString("Really Cancel Delete Process?"));
        } else if (run == "repair") {
            f.desktop.answers = {Answer::Yes, Answer::Ok};
            w.mnuRepairDatabase->trigger();
            QCOMPARE(f.desktop.messages.back().text,
                     QString("Repaired and Compacted Quorvane Successfully."));
        } else if (run == "import") {
            QFile csv(dir + "/more.csv");
            QVERIFY(csv.open(QIODevice::WriteOnly));
            csv.write("Artist,Title\n");
            for (int i = 0; i < 2000; ++i) {
                csv.write("Imported,Title " + QByteArray::number(i) + "\n");
            }
            csv.close();
            f.desktop.openFileAnswers = {csv.fileName()};
            f.desktop.answers = {Answer::No};  // the new artist is not added to the list
            testing::whileModal<windows::FrmImport>(
                [&] { w.mnuFileImport->trigger(); },
                [](windows::FrmImport& p) { click(p.CmdImport); });
        } else if (run == "export") {
            f.desktop.saveFileAnswers = {dir + "/all.csv"};
            f.desktop.answers = {Answer::Ok};
            w.mnuFileExport->trigger();
            QFile csv(dir + "/all.csv");
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QCOMPARE(csv.readAll().count('\n'), Records + 1);
        } else {
            w.mnuReportPrintToScreen->trigger();  // to the printer; there is none: a PDF
            f.desktop.printers = false;
            f.desktop.answers = {Answer::Yes, Answer::Yes};  // a PDF, stopped by the close
            f.desktop.saveFileAnswers = {dir + "/report.pdf"};
            w.mnuReportFullReport->trigger();
            QCOMPARE(f.desktop.messages.back().text, QString("Stop saving the report?"));
            QVERIFY(!QFile::exists(dir + "/report.pdf"));
        }
        timer.stop();

        QVERIFY2(watch.turns > 0, "the windows were never painted during the run");
        QCOMPARE(watch.usable, QStringList{});
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"),
                 QStringList{QString::number(after)});
        QCOMPARE(browse.Grid1->model()->rowCount(), after);  // never the rows of before
        QVERIFY(browse.isVisible());
        QVERIFY(w.window().isVisible() && f.desktop.ended == 0);
        for (QWidget* window : std::initializer_list<QWidget*>{
                 &browse, w.window().frmSearch(), w.window().frmArtist(),
                 w.window().centralWidget(), w.window().menuBar()}) {
            QVERIFY2(window->isEnabled(), window->metaObject()->className());
        }
        // A close asked for during the run is carried out once the run has ended.
        QTRY_COMPARE(f.desktop.ended, tryClosing ? 1 : 0);
        QCOMPARE(w.window().isVisible(), !tryClosing);
    }

    // Esc pressed in a window the run holds reaches the run, as in the main window.
    void escInAHeldWindowStopsTheRun() {
        MainWindowFixture f(testing::numberedRecords(3000));
        auto& w = shown(f);
        FrmBrowse& browse = browseBeside(w);
        bool pressed = false;
        f.desktop.onEvents = [&] {
            if (!pressed) {
                pressed = true;
                QTest::keyClick(browse.Grid1, Qt::Key_Escape);
            }
        };
        f.desktop.answers = {Answer::Yes, Answer::Yes, Answer::Yes};  // ..., really cancel
        w.mnuFileDeleteAll->trigger();
        QCOMPARE(f.desktop.messages.back().text, QString("Really Cancel Delete Process?"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Delete Interupted"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"3000"});
        QVERIFY(browse.isVisible());
        QVERIFY(w.window().isVisible() &&
                f.desktop.ended == 0);  // the Esc was the run's, not the browse window's
    }

    // A view change shows another record: an edit is offered for saving first, and a save
    // that fails keeps the edit on screen in the view it was made in.
    void aViewChangeOffersToSaveTheEdit() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        w.txtTitle->setFocus();
        QTest::keyClicks(w.txtTitle, " (Deluxe)");
        {
            testing::FileLock holder(f.catalogue.path());
            f.desktop.answers = {Answer::Yes, Answer::Ok};
            QTest::keyClick(w.txtTitle, Qt::Key_T, Qt::ControlModifier);  // By Title
        }
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QCOMPARE(f.desktop.messages[0].text, SaveChanges);
        QVERIFY(f.desktop.messages[1].text.startsWith("The record could not be saved."));
        QVERIFY(w.mnuViewArtist->isChecked() && !w.mnuViewTitle->isChecked());
        QCOMPARE(w.txtTitle->text(), QString("Arrival (Deluxe)"));

        f.desktop.answers = {Answer::Yes};
        w.mnuViewTitle->trigger();
        QVERIFY(w.mnuViewTitle->isChecked());
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{"Arrival (Deluxe)"});
    }
};

QTEST_MAIN(TestSideBySide)
#include "tst_side_by_side.moc"
