// The main window as designed: controls, captions, tips, tab order, fonts and menus.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "windows/lookup/LookupEditor.h"

using testing::MainWindowFixture;

class TestFrmMainDesign : public QObject {
    Q_OBJECT

  private slots:
    void controlsMatchTheDesign() {
        MainWindowFixture f;
        auto& w = f.load();
        const std::tuple<QPushButton*, const char*, const char*> buttons[] = {
            {w.CmdAdd, "&Add", "Add a Record"},
            {w.CmdDelete, "&Delete", "Delete a Record"},
            {w.CmdSearch, "&Search", "Open Search Form"},
            {w.CmdPrev, "&Previous", "Previous Record"},
            {w.CmdNext, "&Next", "Next Record"},
            {w.CmdUpdate, "&Update", "Update a Record"},
            {w.CmdBrowse, "&Browse", "Open Browse Movie Form"},
            {w.CmdBookmark, "Bookmar&k", "Book Mark a Record/Goto Bookmark"},
            {w.CmdFirst, "F&irst", "First Record"},
            {w.CmdLast, "&Last", "Last Record"}};
        for (auto [button, caption, tip] : buttons) {
            QCOMPARE(button->text(), QString(caption));
            QCOMPARE(button->toolTip(), QString(tip));
            QCOMPARE(button->size(), QSize(81, 25));
        }
        QVERIFY(!w.CmdBookmark->isEnabled());
        QCOMPARE(w.window().defaultButton(), w.CmdAdd);
        QCOMPARE(w.CmbArtist->toolTip(), QString("Leading Actor"));
        QCOMPARE(w.txtTitle->toolTip(), QString("Title of the Movie"));
        w.txtTitle->setText(QString(31, 'x'));  // the title box holds 30 characters
        QCOMPARE(w.txtTitle->text(), QString(30, 'x'));
        QCOMPARE(w.cmdCategory->toolTip(), QString("Open Category Form"));
        QCOMPARE(w.cmdFormat->toolTip(), QString("Open Category Form"));
        QCOMPARE(w.window().windowTitle(), QString("Quorvane"));
        QVERIFY(w.ProgressBar1->isHidden());
        QCOMPARE(w.ProgressBar1->geometry(), QRect(4, 10, 473, 21));
        QCOMPARE(w.lblMsgBar1->font().family(), QString("Times New Roman"));
        // A status too long for its panel keeps its whole text, shown as the panel's tip.
        for (const QString& status :
             {QString("Record Updated"),
              QString("200,000 records imported, 1,000 already there left out")}) {
            w.lblMsgBar1->setText(status);
            w.lblMsgBar1->grab();  // painted
            QCOMPARE(w.lblMsgBar1->text(), status);
            QCOMPARE(w.lblMsgBar1->toolTip(), status.size() > 20 ? status : QString());
        }

        // Labels name their fields for the keyboard and for screen readers.
        const std::pair<QLabel*, QWidget*> buddies[] = {{w.Label7, w.CmbArtist},
                                                        {w.Label3, w.txtTitle},
                                                        {w.Label1, w.CmbCategory},
                                                        {w.Label9, w.cmbFormat}};
        for (auto [label, field] : buddies) {
            QCOMPARE(label->buddy(), field);
        }
        QCOMPARE(w.CmbArtist->accessibleName(), QString("Artist"));
        QCOMPARE(w.cmbFormat->accessibleName(), QString("Format"));
        QCOMPARE(w.CmbCategory->lineEdit()->accessibleName(), QString("Category"));
        QVERIFY(w.lblMsgBar3->accessibleName().isEmpty());  // read out by its text

        // Tab walks the controls in the design's order, past the disabled Bookmark.
        w.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        QWidget* expected[] = {w.CmbArtist, w.cmdArtist, w.txtTitle,  w.CmbCategory, w.cmdCategory,
                               w.cmbFormat, w.cmdFormat, w.CmdAdd,    w.CmdDelete,   w.CmdSearch,
                               w.CmdPrev,   w.CmdNext,   w.CmdUpdate, w.CmdBrowse,   w.CmdFirst,
                               w.CmdLast,   w.CmbArtist};
        w.CmbArtist->setFocus();
        for (std::size_t i = 1; i < std::size(expected); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
    }

    void menusMatchTheDesign() {
        MainWindowFixture f;
        f.catalogue.execute("UPDATE Options SET optValue = '0'");
        windows::FrmMain window(f.state);  // before the options are read
        const testing::MainPage w(window);
        const std::tuple<QAction*, const char*, QKeySequence, bool> expected[] = {
            {w.mnuRepairDatabase, "&Repair/Compact Databases", QKeySequence("Ctrl+R"), false},
            {w.mnuFileDeleteAll, "&Delete All Records", {}, false},
            {w.mnuExit, "&Exit", {}, false},
            {w.mnuEditUndo, "&Undo", QKeySequence("Ctrl+Z"), false},
            {w.mnuEditRedo, "&Redo", QKeySequence("Ctrl+Shift+Z"), false},
            {w.mnuArtistDatabase, "&Artist", QKeySequence("Ctrl+A"), false},
            {w.mnuCategoryTable, "&Categories", QKeySequence("Ctrl+G"), false},
            {w.mnuFormat, "&Format", {}, false},
            {w.mnuReportFullReport, "Print &Full Report", QKeySequence("Ctrl+M"), false},
            {w.mnuReportGroupReport, "Print &Group By Artist Report", QKeySequence("Ctrl+P"),
             false},
            {w.mnuReportTitle, "Report &Title", {}, false},
            {w.mnuReportPrintToScreen, "Print to &Screen", QKeySequence("Ctrl+F"), true},
            {w.mnuReportSetup, "Printer Set&up", {}, false},
            {w.mnuViewArtist, "By Artist", QKeySequence("Ctrl+L"), true},
            {w.mnuViewCategory, "By &Category", QKeySequence("Ctrl+Y"), false},
            {w.mnuViewFormat, "By &Format", QKeySequence("Ctrl+S"), false},
            {w.mnuViewTitle, "By &Title", QKeySequence("Ctrl+T"), false},
            {w.mnuOptionsAddArtist, "&Auto Add Artist", QKeySequence("Ctrl+O"), false},
            {w.mnuOptionsBookmark, "&Bookmark", QKeySequence("Ctrl+B"), true},
            {w.mnuHelpHelp, "&Help", {}, false},
            {w.mnuHelpAbout, "&About", {}, false}};
        for (auto [action, caption, shortcut, checked] : expected) {
            QCOMPARE(action->text(), QString(caption));
            QCOMPARE(action->shortcut(), shortcut);
            QCOMPARE(action->isChecked(), checked);
        }
        QStringList bar;
        for (QAction* top : w.window().menuBar()->actions()) {
            bar << top->text();
        }
        QCOMPARE(bar, (QStringList{"&File", "&Edit", "Lookup &Tables", "&Reports", "&Views",
                                   "&Counts", "&Options", "&Help"}));
        QVERIFY(!w.mnuEditUndo->isEnabled() && !w.mnuEditRedo->isEnabled());  // nothing done
        QVERIFY(w.mnuSeparator->isSeparator() && w.mnuReportBar->isSeparator());
        // Choosing a checked item does not flip its mark by itself (here the catalogue is
        // not open, which is said).
        f.desktop.answers = {platform::Answer::Ok};
        w.mnuViewArtist->trigger();
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QVERIFY(w.mnuViewArtist->isChecked());
    }
};

QTEST_MAIN(TestFrmMainDesign)
#include "tst_frmmain_design.moc"
