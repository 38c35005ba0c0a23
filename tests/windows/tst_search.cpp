// The search window and search mode, driven from the main window's Search button.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "reports/Formula.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/search/FrmSearch.h"

using platform::Answer;
using platform::Icon;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmSearch;

namespace {

std::vector<testing::TestCatalogue::Row> catalogue() {
    return {{"Beatles", "Revolver", "Rock", "LP"},       {"Beach Boys", "Pet Sounds", "Pop", "LP"},
            {"Bob Dylan", "Desire", "Rock", "CD"},       {"Eagles", "Desperado", "Rock", "LP"},
            {"Guns N' Roses", "Appetite", "Rock", "CD"}, {"50% Off", "Sale_Items", "Pop", "CD"},
            {"ZZ Top", "Eliminator", "Rock", "LP"},      {"Coltrane", "Giant Steps", "Jazz", "LP"}};
}

void search(testing::MainPage& w, const std::function<void(FrmSearch&)>& inside) {
    testing::whileModal<FrmSearch>([&] { click(w.CmdSearch); }, inside);
}

void type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

void chooseField(FrmSearch& s, const QString& field) {
    s.CmbField->setCurrentIndex(s.CmbField->findText(field));
}

// The artists of the records the main window moves through, from the first on.
QStringList walk(testing::MainPage& w) {
    QStringList artists;
    click(w.CmdFirst);
    for (;;) {
        artists << w.CmbArtist->currentText();
        click(w.CmdNext);
        if (w.lblMsgBar1->text() == "Last Record") {
            return artists;
        }
    }
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT

  private slots:
    void opensInGotoModeAndSwitchesModes() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        search(w, [&](FrmSearch& s) {
            QCOMPARE(s.windowTitle(), QString("Movie Search - Goto a Record"));
            QCOMPARE(s.CmbField->currentText(), QString("ARTIST"));
            QCOMPARE(s.focusWidget(), s.CmbField);
            QVERIFY(s.optGotoRecord->isChecked() && !s.optSetCriteria->isChecked());
            QVERIFY(s.txtFrom->isHidden() && s.txtTo->isHidden() && s.lblFrom->isHidden());
            QCOMPARE(s.lblSearch_To->text(), QString("&Text to Search"));
            QTest::keyClick(&s, Qt::Key_F1);
            QCOMPARE(f.desktop.helpRequests.back().context, 320);

            click(s.optSetCriteria);
            QCOMPARE(s.windowTitle(), QString("Movie Search - Set a Criteria"));
            QVERIFY(!s.optGotoRecord->isChecked());
            QVERIFY(s.txtFrom->isVisible() && s.txtTo->isVisible() && s.lblFrom->isVisible());
            QVERIFY(s.txtSearchString->isHidden());
            QCOMPARE(s.lblSearch_To->text(), QString("&To"));
            QCOMPARE(s.lblSearch_To->x(), s.txtTo->x());
            QCOMPARE(s.focusWidget(), s.txtFrom);
            QTest::keyClicks(s.txtFrom, QString(20, 'x'));  // 15 characters at most
            QCOMPARE(s.txtFrom->text(), QString(15, 'x'));
            click(s.optGotoRecord);
            QCOMPARE(s.lblSearch_To->text(), QString("&Text To Search"));
            QCOMPARE(s.focusWidget(), s.txtSearchString);
            QTest::keyClick(s.txtSearchString, Qt::Key_Escape);  // Return
            QVERIFY(!s.isVisible());
        });
        QCOMPARE(w.lblMsgBar1->text(), QString("Search Cancelled"));
        QCOMPARE(w.CmdSearch->text(), QString("&Search"));
        search(w, [&](FrmSearch& s) {  // kept as it was left
            QCOMPARE(s.txtFrom->text(), QString(15, 'x'));
            QVERIFY(s.optGotoRecord->isChecked());
        });
        QVERIFY(f.desktop.messages.empty());
    }

    void aScreenReadersActionsChooseTheMode_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("Toggle") << QAccessibleActionInterface::toggleAction();
        QTest::newRow("Press") << QAccessibleActionInterface::pressAction();
    }
    // Toggle checks the button without a click; Press clicks it a moment later.
    void aScreenReadersActionsChooseTheMode() {
        QFETCH(QString, action);
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        search(w, [&](FrmSearch& s) {
            auto act = [&](QRadioButton* option) {
                QAccessible::queryAccessibleInterface(option)->actionInterface()->doAction(action);
            };
            act(s.optSetCriteria);
            QTRY_COMPARE(s.windowTitle(), QString("Movie Search - Set a Criteria"));
            QVERIFY(s.optSetCriteria->isChecked() && !s.optGotoRecord->isChecked());
            QVERIFY(s.txtFrom->isVisible() && s.txtTo->isVisible() && s.lblFrom->isVisible());
            QVERIFY(s.txtSearchString->isHidden());
            QCOMPARE(s.lblSearch_To->text(), QString("&To"));
            QCOMPARE(s.focusWidget(), s.txtFrom);
            act(s.optGotoRecord);
            QTRY_COMPARE(s.windowTitle(), QString("Movie Search - Goto a Record"));
            QVERIFY(s.optGotoRecord->isChecked() && !s.optSetCriteria->isChecked());
            QVERIFY(s.txtFrom->isHidden() && s.txtTo->isHidden() && s.lblFrom->isHidden());
            QVERIFY(s.txtSearchString->isVisible());
            QCOMPARE(s.lblSearch_To->text(), QString("&Text To Search"));
            QCOMPARE(s.focusWidget(), s.txtSearchString);
            // A click on the button already checked sets its mode again, focus and all.
            s.CmbField->setFocus();
            click(s.optGotoRecord);
            QCOMPARE(s.focusWidget(), s.txtSearchString);
        });
    }

    void emptyTextsAreRefusedWithoutSearching() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        search(w, [&](FrmSearch& s) {
            f.desktop.answers = {Answer::Ok, Answer::Ok};
            click(s.CmdSearch);
            QCOMPARE(f.desktop.messages.back().text, QString("Enter a value to search for."));
            QCOMPARE(f.desktop.messages.back().icon, Icon::None);
            QCOMPARE(s.focusWidget(), s.txtSearchString);
            click(s.optSetCriteria);
            type(s.txtTo, "D");
            click(s.CmdSearch);
            QCOMPARE(f.desktop.messages.back().text,
                     QString("Enter a 'FROM' and 'TO' value to search!"));
            QCOMPARE(s.focusWidget(), s.txtFrom);
            QVERIFY(s.isVisible());
        });
        QCOMPARE(f.desktop.beeps, 2);
        QVERIFY(!f.state.Modes.searching());
    }

    void gotoFindsTheFirstOfTheViewTakingTheTextLiterally() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        w.mnuViewTitle->trigger();  // Appetite, Desire, Desperado, Eliminator, Giant Steps, ...
        click(w.CmdNext);           // Desire: the record before the search
        search(w, [&](FrmSearch& s) {
            type(s.txtSearchString, "Bea");  // Beach Boys (Pet Sounds) before Beatles (Revolver)
            QTest::keyClick(s.txtSearchString, Qt::Key_Return);
            QVERIFY(!s.isVisible());
        });
        QCOMPARE(w.CmbArtist->currentText(), QString("Beach Boys"));
        QVERIFY(!f.state.Modes.searching());
        QCOMPARE(w.lblMsgBar3->text(), QString("8 Artists "));
        QVERIFY(w.CmdBookmark->isEnabled());  // the Bookmark option is on
        click(w.CmdBookmark);
        QCOMPARE(w.txtTitle->text(), QString("Desire"));

        const std::pair<const char*, const char*> literal[] = {
            {"Guns N'", "Guns N' Roses"}, {"50%", "50% Off"}, {"5", "50% Off"}};
        for (auto [text, artist] : literal) {
            search(w, [&](FrmSearch& s) {
                type(s.txtSearchString, text);
                click(s.CmdSearch);
            });
            QCOMPARE(w.CmbArtist->currentText(), QString(artist));
        }
        search(w, [&](FrmSearch& s) {  // the title field, named "TITLE" for the database
            chooseField(s, "TITLE");
            type(s.txtSearchString, "sale_");
            click(s.CmdSearch);
            QCOMPARE(s.fieldTag(), QString("TITLE"));
        });
        QCOMPARE(w.txtTitle->text(), QString("Sale_Items"));
        QVERIFY(f.desktop.messages.empty());
    }

    void gotoNotFoundStaysOnTheRecord() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        click(w.CmdLast);
        const QString before = w.CmbArtist->currentText();
        const int beeps = f.desktop.beeps;
        search(w, [&](FrmSearch& s) {
            for (const char* text : {"Nobody", "B_b", "%"}) {  // wildcards are plain characters
                type(s.txtSearchString, text);
                f.desktop.answers = {Answer::Ok};
                click(s.CmdSearch);
                QCOMPARE(f.desktop.messages.back().text, QString("Search not found"));
                QVERIFY(s.isVisible());
                QCOMPARE(s.txtSearchString->selectedText(), QString(text));
                QCOMPARE(w.CmbArtist->currentText(), before);
            }
        });
        QCOMPARE(f.desktop.beeps, beeps + 3);
        QCOMPARE(f.state.session.ReportFilter, QString());
    }

    void criteriaPutsTheMainWindowInSearchMode() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        click(w.CmdNext);  // Beach Boys
        search(w, [&](FrmSearch& s) {
            click(s.optSetCriteria);
            type(s.txtFrom, "B");
            type(s.txtTo, "D");
            QTest::keyClick(s.txtTo, Qt::Key_Return);
        });
        QVERIFY(f.state.Modes.searching());
        QCOMPARE(w.lblMsgBar3->text(), QString("4 records "));
        QCOMPARE(w.CmdSearch->text(), QString("Reset &Srch"));
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Artist"));
        QCOMPARE(f.state.session.ReportFilter,
                 QString("{Main.Artist} >= 'B' AND ({Main.Artist} <= 'Dz' OR "
                         "{Main.Artist} STARTSWITH 'D')"));
        for (QWidget* locked : {static_cast<QWidget*>(w.CmdAdd), static_cast<QWidget*>(w.CmdDelete),
                                static_cast<QWidget*>(w.CmdBookmark)}) {
            QVERIFY2(!locked->isEnabled(), qPrintable(locked->objectName()));
        }
        QVERIFY(!w.mnuRepairDatabase->isEnabled() && !w.mnuFileDeleteAll->isEnabled() &&
                !w.mnuView->menuAction()->isEnabled());
        QCOMPARE(walk(w), (QStringList{"Beach Boys", "Beatles", "Bob Dylan", "Coltrane"}));

        // Saving and deleting work on the results, without the beep of the whole catalogue.
        const int beeps = f.desktop.beeps;
        click(w.CmdFirst);
        w.txtTitle->setText("Smiley Smile");
        click(w.CmdUpdate);
        QCOMPARE(f.desktop.beeps, beeps + 1);  // the First button's beep only
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Beach Boys'"),
                 QStringList{"Smiley Smile"});
        w.CmdDelete->setEnabled(true);  // as a delete from the results would find it
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);
        QCOMPARE(w.CmbArtist->currentText(), QString("Beatles"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"7"});

        // Reset: the whole catalogue again, back on the record shown before the search.
        click(w.CmdSearch);
        QVERIFY(!f.state.Modes.searching());
        QCOMPARE(w.CmdSearch->text(), QString("&Search"));
        QCOMPARE(w.lblMsgBar3->text(), QString("7 Artists "));
        QCOMPARE(f.state.session.ReportFilter, QString());
        QVERIFY(w.CmdAdd->isEnabled() && w.CmdDelete->isEnabled() &&
                w.mnuView->menuAction()->isEnabled() && w.mnuFileDeleteAll->isEnabled());
        // The record shown before the search (Beach Boys) is gone: the view's first is shown.
        QCOMPARE(w.CmbArtist->currentText(), QString("50% Off"));
        QCOMPARE(walk(w).size(), 7);

        // With a record that is still there, the reset returns to it.
        click(w.CmdLast);  // ZZ Top
        search(w, [&](FrmSearch& s) {
            type(s.txtFrom, "C");
            type(s.txtTo, "E");
            click(s.CmdSearch);
        });
        QCOMPARE(w.lblMsgBar3->text(), QString("2 records "));
        click(w.CmdSearch);
        QCOMPARE(w.CmbArtist->currentText(), QString("ZZ Top"));
    }

    // Contains: the records holding every word, in the view's order, as search mode; the
    // report's selection is the same set; words not found, or none, leave everything as it was.
    void containsPutsTheMainWindowInSearchModeOnTheWordsRecords_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<QString>("said");
        QTest::newRow("two words") << "DES rock" << QStringList{"Bob Dylan", "Eagles"} << "";
        QTest::newRow("a quote and an apostrophe")
            << "\"n' roses\"" << QStringList{"Guns N' Roses"} << "";
        QTest::newRow("in a field") << "category:pop" << QStringList{"50% Off", "Beach Boys"} << "";
        QTest::newRow("not found") << "zzz" << QStringList{} << "Search not found";
        QTest::newRow("no words") << " \"\" " << QStringList{} << "Enter the words to find.";
        QString distinct;  // words no record holds, each once
        for (int i = 0; i < 150; ++i) {
            distinct += QString(" word%1").arg(i, 3, 10, QChar('0'));
        }
        QTest::newRow("one word many times")
            << QString("rock ").repeated(500)
            << QStringList{"Beatles", "Bob Dylan", "Eagles", "Guns N' Roses", "ZZ Top"} << "";
        QTest::newRow("as many words as are looked for")
            << distinct.left(100 * 8) << QStringList{} << "Search not found";
        QTest::newRow("too many words") << distinct << QStringList{}
                                        << "Too many words to find: at most 100 are looked for "
                                           "at once.";
    }
    void containsPutsTheMainWindowInSearchModeOnTheWordsRecords() {
        QFETCH(QString, typed);
        QFETCH(QStringList, artists);
        QFETCH(QString, said);
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        f.desktop.answers = {Answer::Ok};
        search(w, [&](FrmSearch& s) {
            QTest::keyClick(&s, Qt::Key_O, Qt::AltModifier);
            QTRY_VERIFY(s.optContains->isChecked() && s.txtContains->isVisible());
            QVERIFY(!s.CmbField->isVisible() && !s.txtSearchString->isVisible());
            QCOMPARE(s.windowTitle(), QString("Movie Search - Contains"));
            type(s.txtContains, typed);
            QTest::keyClick(s.txtContains, Qt::Key_Return);
            if (!said.isEmpty()) {
                QCOMPARE(f.desktop.messages.back().text, said);
                s.hide();
            }
        });
        QCOMPARE(f.state.Modes.searching(), said.isEmpty());
        if (!said.isEmpty()) {
            QCOMPARE(f.state.session.ReportFilter, QString());
            return;
        }
        QCOMPARE(w.lblMsgBar3->text(), QString::number(artists.size()) + " records ");
        QCOMPARE(walk(w), artists);
        // The report prints the same records.
        const auto selection = reports::parseSelection(f.state.session.ReportFilter.toStdString());
        QStringList reported;
        db::Statement rows(f.state.session.cnMain,
                           "SELECT Artist FROM Main WHERE " + selection.where + " ORDER BY Artist");
        rows.bindAll(selection.params);
        while (rows.step()) {
            reported << QString::fromStdString(std::string(*rows.textColumn(0)));
        }
        QCOMPARE(reported, artists);
        click(w.CmdSearch);  // reset
        QVERIFY(!f.state.Modes.searching());
        QCOMPARE(w.lblMsgBar3->text(), QString("8 Artists "));
    }

    // Another program holding the file: Contains waits beside the windows, the bar saying so,
    // and runs when it lets go; Esc gives the wait up, said on the status line alone.
    void aHeldFileIsWaitedForAndEscGivesUp_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("let go") << false;
        QTest::newRow("Esc") << true;
    }
    void aHeldFileIsWaitedForAndEscGivesUp() {
        QFETCH(bool, escape);
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        std::optional<testing::FileLock> lock;
        QString said;
        int turns = 0;
        f.desktop.onEvents = [&] {
            if (lock && w.ProgressBar1->isVisible()) {
                said = w.ProgressBar1->format();
            }
            if (lock && (!said.isEmpty() || ++turns > 500)) {  // ten seconds at most
                escape ? QTest::keyClick(&w.window(), Qt::Key_Escape) : lock.reset();
            }
        };
        search(w, [&](FrmSearch& s) {
            QTest::keyClick(&s, Qt::Key_O, Qt::AltModifier);
            QTRY_VERIFY(s.optContains->isChecked() && s.txtContains->isVisible());
            type(s.txtContains, "rock");
            lock.emplace(f.catalogue.path());
            QTest::keyClick(s.txtContains, Qt::Key_Return);
            if (escape) {
                QVERIFY(s.isVisible() && s.txtContains->hasFocus());
                s.hide();
            }
        });
        lock.reset();
        QCOMPARE(said, QString("Another program holds the catalogue file; the search runs as soon "
                               "as it lets go.   (Esc stops)"));
        QCOMPARE(f.desktop.messageTexts(), QStringList());
        QCOMPARE(f.state.Modes.searching(), !escape);
        QCOMPARE(w.lblMsgBar3->text(), escape ? QString("8 Artists ") : QString("5 records "));
        if (escape) {
            QCOMPARE(w.lblMsgBar1->text(),
                     QString("Search stopped: another program holds the catalogue file"));
        }
        QVERIFY(!w.ProgressBar1->isVisible() && w.window().centralWidget()->isEnabled());
    }

    void criteriaTakesEveryValueBeginningWithTheTo() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        search(w, [&](FrmSearch& s) {
            click(s.optSetCriteria);
            type(s.txtFrom, "z");
            type(s.txtTo, "Z");
            click(s.CmdSearch);
        });
        QCOMPARE(walk(w), QStringList{"ZZ Top"});
        click(w.CmdSearch);

        search(w, [&](FrmSearch& s) {  // bound, not pasted: a quote is a plain character
            click(s.optSetCriteria);
            type(s.txtFrom, "Guns N'");
            type(s.txtTo, "Guns N'");
            click(s.CmdSearch);
        });
        QCOMPARE(walk(w), QStringList{"Guns N' Roses"});
        QCOMPARE(f.state.session.ReportFilter,
                 QString("{Main.Artist} >= 'Guns N''' AND ({Main.Artist} <= 'Guns N''z' OR "
                         "{Main.Artist} STARTSWITH 'Guns N''')"));
        click(w.CmdSearch);

        search(w, [&](FrmSearch& s) {  // nothing there: the window stays
            click(s.optSetCriteria);
            type(s.txtFrom, "Q");
            type(s.txtTo, "R");
            f.desktop.answers = {Answer::Ok};
            click(s.CmdSearch);
            QCOMPARE(f.desktop.messages.back().text, QString("Search not found"));
            QVERIFY(s.isVisible());
            QCOMPARE(s.focusWidget(), s.txtFrom);
        });
        QVERIFY(!f.state.Modes.searching());
    }

    void failuresFollowTheSearchsRules() {
        MainWindowFixture f;  // an empty catalogue: no record to return to
        auto& w = shown(f);
        search(w, [&](FrmSearch& s) {
            type(s.txtSearchString, "Abba");
            f.desktop.answers = {Answer::Ok};
            click(s.CmdSearch);
            QCOMPARE(f.desktop.messageTexts(), QStringList{"No Current Record!"});
            QCOMPARE(f.desktop.messages[0].title, QString("ERROR"));
            QCOMPARE(f.desktop.messages[0].icon, Icon::Critical);
            QVERIFY(s.isVisible());
            QVERIFY(!f.desktop.busy);
        });

        // A closed recordset is passed over: the search goes on and finds nothing there.
        MainWindowFixture g(catalogue());
        auto& v = shown(g);
        v.window().OpenView("no such view");
        search(v, [&](FrmSearch& s) {
            type(s.txtSearchString, "Beatles");
            g.desktop.answers = {Answer::Ok};
            click(s.CmdSearch);
            QCOMPARE(g.desktop.messageTexts(), QStringList{"Search not found"});
            QVERIFY(s.isVisible());
        });
    }

    void aSearchOffersToSaveTheEditFirst() {
        MainWindowFixture f(catalogue());
        auto& w = shown(f);
        w.txtTitle->setFocus();
        QTest::keyClicks(w.txtTitle, " (live)");
        f.desktop.answers = {Answer::Yes};
        search(w, [&](FrmSearch& s) {
            type(s.txtSearchString, "Eagles");
            click(s.CmdSearch);
        });
        QCOMPARE(f.desktop.messages[0].text,
                 QString("Changes have been made to record\r\nSave Changes?"));
        QCOMPARE(w.CmbArtist->currentText(), QString("Eagles"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = '50% Off'"),
                 QStringList{"Sale_Items (live)"});
    }

    // Names in many scripts: one order (the locale's; ICU's root order in the tests), and
    // go-to and criteria by letters alone, case and accents ignored.
    void namesInEveryScriptSortAndMatchByTheirLetters() {
        const QStringList sorted = {"abba",
                                    "ABBA",
                                    "Åge Aleksandersen",
                                    "Bjork",
                                    "Björk",
                                    "Céline Dion",
                                    "Ce\u0301line Dion",
                                    "edith piaf",
                                    "Édith Piaf",
                                    "Łona",
                                    "Mötley Crüe",
                                    "Motorhead",
                                    "Ñu",
                                    "Zappa",
                                    "Αλκίνοος Ιωαννίδης",
                                    "Мумий Тролль",
                                    "فيروز",
                                    "방탄소년단",
                                    "坂本龍一"};
        std::vector<testing::TestCatalogue::Row> rows;
        // Written out of order; of the two Célines, one with a combining accent, the one
        // written first comes first.
        for (const int i : {13, 16, 2, 0, 9, 18, 4, 7, 11, 1, 15, 5, 6, 8, 3, 10, 12, 14, 17}) {
            rows.push_back({sorted[i].toStdString(), "Album", "Pop", "CD"});
        }
        MainWindowFixture f(rows);
        auto& w = shown(f);
        QCOMPARE(walk(w), sorted);

        const std::vector<std::pair<QString, QString>> firstFound = {
            {"ed", "edith piaf"},    {"É", "edith piaf"},    {"EDI", "edith piaf"},
            {"bjö", "Bjork"},        {"mot", "Mötley Crüe"}, {"ΑΛΚ", "Αλκίνοος Ιωαννίδης"},
            {"мум", "Мумий Тролль"}, {"ce", "Céline Dion"},  {"坂本", "坂本龍一"}};
        for (const auto& [typed, found] : firstFound) {
            click(w.CmdLast);
            search(w, [&](FrmSearch& s) {
                click(s.optGotoRecord);
                s.txtSearchString->setText(typed);  // typed through an input method
                QTest::keyClick(s.txtSearchString, Qt::Key_Return);
            });
            QCOMPARE(w.CmbArtist->currentText(), found);
        }

        search(w, [&](FrmSearch& s) {
            click(s.optSetCriteria);
            type(s.txtFrom, "A");
            type(s.txtTo, "F");
            QTest::keyClick(s.txtTo, Qt::Key_Return);
        });
        QCOMPARE(walk(w), sorted.mid(0, 9));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
