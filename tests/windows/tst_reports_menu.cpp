// The Reports menu: a run sorted as the view or the search, on the screen or the printer
// (or a PDF file when there is no printer), the missing layout, and the preview window.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QSpinBox>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "windows/report/FrmReportPreview.h"
#include "windows/search/FrmSearch.h"

using platform::Answer;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmReportPreview;

namespace {

void shipLayouts(MainWindowFixture& f) {
    for (const char* file : {"Zembo1.rpt", "Zembo2.rpt"}) {
        QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DATA_DIR "/") + file,
                            f.catalogue.directory() + "/" + file));
    }
}

FrmReportPreview* openPreview() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<FrmReportPreview*>(window);
            preview && preview->isVisible()) {
            return preview;
        }
    }
    return nullptr;
}

// The preview, active so that its keys reach it (the headless platform leaves that to us).
FrmReportPreview* activePreview() {
    FrmReportPreview* preview = openPreview();
    if (preview) {
        QApplication::setActiveWindow(preview);
        QTest::qWait(0);
    }
    return preview;
}

std::vector<testing::TestCatalogue::Row> records(int count) {
    std::vector<testing::TestCatalogue::Row> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back({QString("Artist %1").arg(i % 40).toStdString(),
                        QString("Title %1").arg(i).toStdString(), i % 2 ? "Rock" : "Pop", "CD"});
    }
    return rows;
}

}  // namespace

class TestReportsMenu : public QObject {
    Q_OBJECT

  private slots:
    void aRunIsSortedAsTheViewAndShownOnTheScreen() {
        MainWindowFixture f(records(200));
        shipLayouts(f);
        auto& w = shown(f);
        w.mnuViewFormat->trigger();
        QTest::keyClick(&w.window(), Qt::Key_M, Qt::ControlModifier);  // Print Full Report
        QCOMPARE(w.lblMsgBar1->text(), QString("Report Processed"));
        QCOMPARE(w.reportSettings().sortFields,
                 (std::array<QString, 3>{"+{Main.Format}", "+{Main.Artist}", "+{Main.Title}"}));
        QCOMPARE(w.reportSettings().formulas[0], QString("TxtTitle = 'View by Format'"));
        QCOMPARE(w.reportSettings().destination, 0);
        FrmReportPreview* preview = activePreview();
        QVERIFY(preview && preview->isActiveWindow());
        QCOMPARE(preview->windowTitle(), QString("Full Report"));  // the report's name
        QCOMPARE(preview->pageBox()->value(), 1);
        const int pages = preview->pageBox()->maximum();
        QCOMPARE(preview->pageCountLabel()->text(), QString("of %1").arg(pages));
        // Keys reach the page from the start: + zooms, the page keys turn pages.
        auto press = [](auto key, Qt::KeyboardModifiers with = {}) {
            QTest::keyClick(QApplication::focusWidget(), key, with);
        };
        const int width = preview->pageImage()->pixmap().width();
        press(Qt::Key_Plus);
        QVERIFY(preview->pageImage()->pixmap().width() > width);
        press(Qt::Key_PageDown);
        QCOMPARE(preview->currentPage(), 1);
        press(Qt::Key_End);
        QCOMPARE(preview->pageBox()->value(), pages);
        // Ctrl+G, a number, Enter: that page.
        press(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), preview->pageBox());
        QTest::keyClicks(preview->pageBox(), "3");
        QCOMPARE(preview->currentPage(), pages - 1);  // not before Enter
        press(Qt::Key_Return);
        QCOMPARE(preview->currentPage(), 2);
        const int zoomed = preview->pageImage()->pixmap().width();
        press(Qt::Key_Plus);  // the keys are the page's again
        QVERIFY(preview->pageImage()->pixmap().width() > zoomed);
        press(Qt::Key_Escape);
        QTRY_VERIFY(!openPreview());

        // A later run in the Title view keeps the positions it does not set.
        w.mnuViewTitle->trigger();
        w.mnuReportGroupReport->trigger();
        QCOMPARE(w.reportSettings().sortFields,
                 (std::array<QString, 3>{"+{Main.Title}", "+{Main.Artist}", "+{Main.Title}"}));
        QCOMPARE(w.reportSettings().reportFile, f.state.session.AppDir + "Zembo2.rpt");
        openPreview()->close();
    }

    void aSearchOnTitlesSortsTheReportByTitle() {
        MainWindowFixture f(records(20));
        shipLayouts(f);
        auto& w = shown(f);
        // In search mode after a criteria search on the title field, as the search leaves it.
        w.window().frmSearch()->CmbField->setCurrentText("TITLE");
        w.window().frmSearch()->GetFieldName();
        f.state.Modes.enterSearching();
        f.state.session.ReportFilter = "{Main.TITLE} >= 'Title 1' AND {Main.TITLE} <= 'Title 1z'";
        w.mnuReportFullReport->trigger();
        QCOMPARE(w.reportSettings().sortFields[0], QString("+{Main.Title}"));
        QCOMPARE(w.reportSettings().selectionFormula, f.state.session.ReportFilter);
        QCOMPARE(w.lblMsgBar1->text(), QString("Report Processed"));
        openPreview()->close();
    }

    void aMissingLayoutIsSaidAndTheReportNotClaimed() {
        MainWindowFixture f(records(5));  // no layout files beside the catalogue
        auto& w = shown(f);
        f.desktop.answers = {Answer::Ok};
        w.mnuReportGroupReport->trigger();
        QCOMPARE(f.desktop.beeps, 2);
        QCOMPARE(f.desktop.messages.back().text,
                 QString("Zembo1.rpt or Zembo2.rpt file not found!"));
        QCOMPARE(f.desktop.messages.back().title, QString("Missing File Error"));
        QCOMPARE(f.desktop.messages.back().icon, platform::Icon::Critical);
        QCOMPARE(w.lblMsgBar1->text(), QString());
        QVERIFY(!openPreview());
    }

    void onThePrinterOrAsPdfWhenThereIsNone() {
        MainWindowFixture f(records(120));
        shipLayouts(f);
        auto& w = shown(f);
        w.mnuReportPrintToScreen->trigger();  // to the printer
        const QString pdf = f.catalogue.directory() + "/printed.pdf";

        f.desktop.printers = false;  // nothing installed: offered as a PDF file
        f.desktop.answers = {Answer::Yes};
        f.desktop.saveFileAnswers = {pdf};
        w.mnuReportFullReport->trigger();
        QCOMPARE(f.desktop.messages.back().text,
                 QString("No printer is installed on this computer.\r\nSave the report as a PDF "
                         "file instead?"));
        QVERIFY(QFile::exists(pdf));
        QVERIFY(!openPreview());
        QFile::remove(pdf);

        // Printer Setup chooses where printing goes; Cancel there changes nothing.
        f.desktop.printers = true;
        f.desktop.printerAnswers = {false, true};
        w.mnuReportSetup->trigger();
        f.desktop.onChoosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        };
        w.mnuReportSetup->trigger();
        QCOMPARE(f.desktop.printerDialogs, 2);
        w.mnuReportGroupReport->trigger();
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(w.lblMsgBar1->text(), QString("Report Processed"));
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
    }

    // A report that was not printed or saved never says it was; a failure beeps twice.
    void aReportNotSentIsNotClaimed_data() {
        QTest::addColumn<bool>("savesPdf");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("status");
        QTest::newRow("PDF declined") << false << "" << 0 << "Report Canceled";
        QTest::newRow("file dialog cancelled") << true << "" << 0 << "Report Canceled";
        QTest::newRow("PDF not writable") << true << "/proc/nope/test.pdf" << 2 << "";
    }
    void aReportNotSentIsNotClaimed() {
        QFETCH(bool, savesPdf);
        QFETCH(QString, file);
        QFETCH(int, beeps);
        QFETCH(QString, status);
        MainWindowFixture f(records(30));
        shipLayouts(f);
        auto& w = shown(f);
        w.mnuReportPrintToScreen->trigger();  // to the printer, and there is none
        f.desktop.printers = false;
        f.desktop.answers = {savesPdf ? Answer::Yes : Answer::No, Answer::Ok};
        f.desktop.saveFileAnswers = {file};
        w.mnuReportFullReport->trigger();
        QCOMPARE(f.desktop.beeps, beeps);
        QCOMPARE(w.lblMsgBar1->text(), status);
        if (beeps > 0) {
            QCOMPARE(f.desktop.messages.back().text,
                     QString("Error 20545 The report could not be saved. Cannot create a file "
                             "beside '/proc/nope/test.pdf': No such file or directory."));
            QCOMPARE(f.desktop.messages.back().title, QString("Error Trap"));
        } else {
            QCOMPARE(f.desktop.messages.size(), std::size_t(1));  // only the PDF question
            f.desktop.answers.clear();
        }
    }

    void thePreviewSavesAPdf() {
        MainWindowFixture f(records(30));
        shipLayouts(f);
        auto& w = shown(f);
        w.mnuReportFullReport->trigger();
        FrmReportPreview* preview = activePreview();
        const QString pdf = f.catalogue.directory() + "/saved.pdf";
        f.desktop.saveFileAnswers = {pdf};
        QTest::keyClick(preview, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(QFileInfo(f.desktop.offeredSaveNames.last()).fileName(),
                 "Full Report " + QDate::currentDate().toString(Qt::ISODate) + ".pdf");
        f.desktop.saveFileAnswers = {QString()};  // cancelled: nothing written
        QTest::keyClick(preview, Qt::Key_S, Qt::ControlModifier);
        preview->close();
    }
};

QTEST_MAIN(TestReportsMenu)
#include "tst_reports_menu.moc"
