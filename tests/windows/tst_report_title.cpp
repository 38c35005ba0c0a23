// The report title window, and the Reports menu's Print to Screen switch.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/reporttitle/FrmReportTitle.h"

using platform::Answer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmReportTitle;

namespace {

void withTitleWindow(testing::MainPage& w, const std::function<void(FrmReportTitle&)>& inside) {
    testing::whileModal<FrmReportTitle>([&] { w.mnuReportTitle->trigger(); }, inside);
}

}  // namespace

class TestReportTitle : public QObject {
    Q_OBJECT

  private slots:
    void anEmptyTableGetsItsRow() {
        MainWindowFixture f;
        f.catalogue.execute("DELETE FROM ReportTitle");
        auto& w = shown(f);
        withTitleWindow(w, [&](FrmReportTitle& t) {
            QCOMPARE(t.windowTitle(), QString("Report Title"));
            QCOMPARE(t.txtReportTitle->text(), QString());
            QCOMPARE(w.lblMsgBar1->text(), QString());  // the window empties it at load
            QTest::keyClicks(t.txtReportTitle, "Records of the Lighthouse");
            QTest::keyClick(t.txtReportTitle, Qt::Key_Return);  // Update is the default
            QCOMPARE(t.lblMsgBar1->text(), QString("Record Updated"));
            QCOMPARE(t.focusWidget(), t.CmdReturn);
            click(t.CmdUpdate);  // a second save changes the same row
        });
        QCOMPARE(w.lblMsgBar1->text(), QString("Closed Report Title Form"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM ReportTitle"),
                 QStringList{"Records of the Lighthouse"});
    }

    void theStoredTitleIsShownSelectedAndReplaced() {
        MainWindowFixture f;
        auto& w = shown(f);
        withTitleWindow(w, [&](FrmReportTitle& t) {
            QCOMPARE(t.txtReportTitle->selectedText(), QString("My Recording Collection"));
            QTest::keyClicks(t.txtReportTitle, QString(60, 'x'));  // 50 characters at most
            QCOMPARE(t.txtReportTitle->text(), QString(50, 'x'));
            QTest::keyClick(&t, Qt::Key_F1);
            QCOMPARE(f.desktop.helpRequests.back().context, 210);
            QTest::keyClick(t.txtReportTitle, Qt::Key_Escape);  // nothing saved
        });
        QCOMPARE(f.catalogue.column("SELECT Title FROM ReportTitle"),
                 QStringList{"My Recording Collection"});
        withTitleWindow(w, [&](FrmReportTitle& t) {
            t.txtReportTitle->selectAll();
            QTest::keyClicks(t.txtReportTitle, "Vinyl & Tapes");
            click(t.CmdUpdate);
            QCOMPARE(t.lblMsgBar1->text(), QString("Record Updated"));
            QTest::keyClicks(t.txtReportTitle, "!");  // typing after a save empties the status
            QCOMPARE(t.lblMsgBar1->text(), QString());
            click(t.CmdReturn);
        });
        QCOMPARE(f.catalogue.column("SELECT Title FROM ReportTitle"), QStringList{"Vinyl & Tapes"});

        f.catalogue.execute("UPDATE ReportTitle SET Title = NULL");  // as another tool left it
        withTitleWindow(w,
                        [&](FrmReportTitle& t) { QCOMPARE(t.txtReportTitle->text(), QString()); });
        QVERIFY(f.desktop.messages.empty());
    }

    void aSaveThatFailsIsSaidAndTheWindowStays() {
        MainWindowFixture f;
        auto& w = shown(f);
        withTitleWindow(w, [&](FrmReportTitle& t) {
            t.txtReportTitle->setText("Locked Out");
            testing::FileLock holder(f.catalogue.path());
            f.desktop.answers = {Answer::Ok};
            click(t.CmdUpdate);
            holder.release();
            QVERIFY(f.desktop.messages.back().text.startsWith("Error: -2147467259 - "));
            QCOMPARE(f.desktop.messages.back().icon, platform::Icon::Critical);
            QVERIFY(t.isVisible());
            QCOMPARE(t.lblMsgBar1->text(), QString());
            click(t.CmdUpdate);  // and once the file is free it is saved
            QCOMPARE(t.lblMsgBar1->text(), QString("Record Updated"));
        });
        QCOMPARE(f.catalogue.column("SELECT Title FROM ReportTitle"), QStringList{"Locked Out"});
    }

    void printToScreenSwitchesAndSaysWhere() {
        MainWindowFixture f;
        auto& w = shown(f);
        QVERIFY(w.mnuReportPrintToScreen->isChecked());
        QTest::keyClick(&w.window(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!w.mnuReportPrintToScreen->isChecked());
        QCOMPARE(w.lblMsgBar1->text(), QString("Print to Printer"));
        w.mnuReportPrintToScreen->trigger();
        QVERIFY(w.mnuReportPrintToScreen->isChecked());
        QCOMPARE(w.lblMsgBar1->text(), QString("Print to Screen"));
        QCOMPARE(w.mnuReportPrintToScreen->text(), QString("Print to &Screen"));
    }
};

QTEST_MAIN(TestReportTitle)
#include "tst_report_title.moc"
