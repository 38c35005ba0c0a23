// Texts the browse window's Find line and the search's Contains get an answer for, whatever
// is typed: nothing to look for, too many words, an empty catalogue.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "catalogue/Orders.h"
#include "catalogue/Words.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"
#include "windows/search/FrmSearch.h"

using platform::Answer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmBrowse;
using windows::FrmSearch;
using windows::GridModel;

class TestFindWords : public QObject {
    Q_OBJECT

  private slots:
    // The find line says when what is typed names no word, or too many, and shows every row.
    void theFindLineAnswersEveryText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("rows");
        QString many;
        for (int i = 0; i < 101; ++i) {
            many += QString(" word%1").arg(i);
        }
        QTest::newRow("a prefix alone") << "artist:"
                                        << "Nothing to look for" << 3;
        QTest::newRow("a prefix and a quote") << "title:\""
                                              << "Nothing to look for" << 3;
        QTest::newRow("two quotes") << "\"\""
                                    << "Nothing to look for" << 3;
        QTest::newRow("too many words") << many << "Too many words: at most 100" << 3;
        QTest::newRow("one word a thousand times")
            << QString("giant ").repeated(1000) << "1 of 3 records" << 1;
    }
    void theFindLineAnswersEveryText() {
        QFETCH(QString, typed);
        QFETCH(QString, said);
        QFETCH(int, rows);
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse& browse = *w.window().frmBrowse();
        browse.txtFind->setFocus();
        browse.txtFind->setText(typed);
        QTRY_COMPARE(browse.lblFound->text(), said);
        QCOMPARE(browse.Grid1->gridModel()->rowCount(), rows);
        QVERIFY(f.desktop.messages.empty());
    }

    // The program's own word indexing, a step at a time while the window is idle, never comes
    // between the find line and the file: no search is told that the file is held.
    void theProgramsOwnIndexingNeverHoldsUpTheFindLine() {
        MainWindowFixture f(testing::numberedRecords(40000));
        {
            db::Connection connection;  // as an import leaves them: waiting for the index
            connection.open(f.catalogue.path().toStdString());
            db::catalogue::prepareOrders(connection);
            db::Transaction transaction(connection);
            db::catalogue::emptyWordIndex(connection, "main");
            db::catalogue::leaveWordsFrom(connection, 1);
            connection.execute("UPDATE OrderState SET Stale = 0");
            transaction.commit();
        }
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse& browse = *w.window().frmBrowse();
        QStringList said;
        for (int i = 0; i < 20 && db::catalogue::wordsWaitFrom(f.state.session.cnMain, "main");
             ++i) {
            browse.txtFind->setText(QString("\"title %1\"").arg(i * 7 + 1000));
            browse.findWords();
            QTRY_VERIFY(!browse.findingWords());
            said << browse.lblFound->text();
            QTest::qWait(20);  // a step of the indexing meanwhile
        }
        QVERIFY2(said.size() > 3, qPrintable(said.join('|')));
        for (const QString& text : said) {
            QVERIFY2(text.endsWith(" of 40,000 records"), qPrintable(text));
        }
    }

    // Records another program added since the grid was filled are searched and taken in, in
    // the view's order; the main window counts them too and keeps the record it shows.
    void theFindLineTakesInRecordsAnotherProgramAdded() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        click(w.CmdNext);
        click(w.CmdBrowse);
        FrmBrowse& browse = *w.window().frmBrowse();
        QCOMPARE(testing::stockTool(f.catalogue.path(),
                                    "INSERT INTO Main VALUES ('Mazzy Star', 'Fade Into You', "
                                    "'Rock', 'CD'), ('Air', 'Moon Safari', 'Pop', 'CD')"),
                 QString());
        browse.txtFind->setText("cd");
        QTRY_COMPARE(browse.lblFound->text(), QString("3 of 5 records"));
        const GridModel* grid = browse.Grid1->gridModel();
        QCOMPARE((QStringList{grid->cellText(0, 1), grid->cellText(1, 1), grid->cellText(2, 1)}),
                 (QStringList{"ABBA", "Air", "Mazzy Star"}));
        QCOMPARE(w.lblMsgBar3->text(), QString("5 Artists "));
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        testing::stockTool(f.catalogue.path(),
                           "INSERT INTO Main VALUES ('Nico', 'Desertshore', "
                           "'Folk', 'CD')");
        browse.txtFind->clear();  // the same words typed again
        browse.txtFind->setText("cd");
        QTRY_COMPARE(browse.lblFound->text(), QString("4 of 6 records"));
        QVERIFY(f.desktop.messages.empty());
    }

    // Contains on a catalogue that holds no record finds nothing, and says so as it always
    // does.
    void containsOnAnEmptyCatalogueFindsNothing() {
        MainWindowFixture f;
        auto& w = shown(f);
        f.desktop.answers = {Answer::Ok};
        testing::whileModal<FrmSearch>([&] { click(w.CmdSearch); },
                                       [&](FrmSearch& s) {
                                           s.optContains->setChecked(true);
                                           s.txtContains->setText("anything");
                                           click(s.CmdSearch);
                                           s.hide();
                                       });
        QCOMPARE(f.desktop.messageTexts(), QStringList{"Search not found"});
        QVERIFY(!f.state.Modes.searching());
    }
};

QTEST_MAIN(TestFindWords)
#include "tst_find_words.moc"
