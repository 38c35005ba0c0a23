// File > Export Records and File > Import Records, driven from the main window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableWidget>
#include <QtTest>

#include "support/ImportFile.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/search/FrmSearch.h"
#include "windows/transfer/FrmImport.h"

using platform::Answer;
using platform::Icon;
using testing::click;
using testing::importFile;
using testing::MainWindowFixture;
using testing::shown;
using testing::write;
using windows::FrmImport;

namespace {

// Every record as SQL literals, so Null, empty text and odd bytes are told apart.
QStringList exactRows(testing::TestCatalogue& catalogue) {
    return catalogue.column(
        "SELECT quote(Artist) || '|' || quote(Title) || '|' || quote(Category) || '|' || "
        "quote(Format) FROM Main ORDER BY 1");
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void accept(FrmImport& preview) {
    click(preview.CmdImport);
}

QByteArray manyRows(int count) {
    QByteArray file = "Artist,Title\n";
    for (int i = 0; i < count; ++i) {
        file += "New " + QByteArray::number(i) + ",Title\n";
    }
    return file;
}

}  // namespace

class TestTransfer : public QObject {
    Q_OBJECT

  private slots:
    // Quotes, commas, non-Latin text, empty text and Nulls come back as they were; blanks at
    // the ends of a text and line breaks in it are written out, but read in as an import keeps
    // white space (one blank for a run, none at the ends); the preview, the lookup offers and
    // the tally are right. A record with no value at all cannot be told from
    // an empty row: the export says so.
    void exportThenImportGivesTheSameRows() {
        MainWindowFixture f({{"O'Connor, Sinéad", "\"Nothing\" Compares", "Pop", "CD"},
                             {"Шостакович", "Symphony\r\nNo. 5", {}, "LP"},
                             {"坂本龍一", "", "Class", {}},
                             {" lead", "trail ", "a\nb", "x;y"},
                             {"", "", "", ""}});
        const QStringList before = exactRows(f.catalogue);
        f.catalogue.insert({{{}, {}, {}, {}}});
        auto& w = shown(f);
        const QString written = f.catalogue.directory() + "/collection.csv";
        f.desktop.saveFileAnswers = {written};
        f.desktop.answers = {Answer::Ok};
        w.mnuFileExport->trigger();
        QCOMPARE(f.desktop.messages.back().text,
                 "6 records were written to " + QDir::toNativeSeparators(written) +
                     ".\r\n\r\n1 record has no value in any field; in the file they are empty "
                     "rows, which an import leaves out.");
        QCOMPARE(w.lblMsgBar1->text(), QString("6 records exported"));
        const QByteArray csv = contents(written);
        QVERIFY2(csv.startsWith("Artist,Title,Category,Format\r\n,,,\r\n\"\",\"\",\"\",\"\"\r\n"
                                "\" lead\",\"trail \",\"a\nb\",x;y\r\n"),
                 csv.constData());  // in the Artist view's order
        QVERIFY(csv.contains("\"O'Connor, Sinéad\",\"\"\"Nothing\"\" Compares\",Pop,CD\r\n"));
        QVERIFY(csv.contains("坂本龍一,\"\",Class,\r\n"));

        f.catalogue.execute("DELETE FROM Main");
        f.desktop.messages.clear();
        // Artists new to the list: added; the category "a\nb" and the format "x;y": not.
        f.desktop.answers = {Answer::Yes, Answer::No, Answer::No};
        importFile(f, written, [&](FrmImport& preview) {
            QVERIFY2(preview.lblCounts->text().contains("To add: 5 records\n"
                                                        "Empty rows left out: 1"),
                     qPrintable(preview.lblCounts->text()));
            QVERIFY(!preview.lblCounts->text().contains("Already"));
            QCOMPARE(preview.grdPreview->rowCount(), 5);
            QCOMPARE(preview.grdPreview->item(3, 1)->text(), QString("Symphony No. 5"));
            QCOMPARE(preview.focusWidget(), preview.CmdImport);
            accept(preview);
        });
        QStringList trimmed =
            QStringList(before)
                .replaceInStrings("' lead'|'trail '|'a\nb'", "'lead'|'trail'|'a b'")
                .replaceInStrings("Symphony\r\nNo. 5", "Symphony No. 5");
        trimmed.sort();
        QCOMPARE(exactRows(f.catalogue), trimmed);
        QCOMPARE(f.desktop.messages.size(), std::size_t(3));
        QVERIFY2(f.desktop.messages[0].text.startsWith(
                     "The imported records name 4 artists that the Artist list does not hold:"
                     "\r\n    lead\r\n    O'Connor, Sinéad\r\n"),
                 qPrintable(f.desktop.messages[0].text));
        QCOMPARE(f.catalogue.column("SELECT Artist FROM Artist ORDER BY rowid DESC LIMIT 4").size(),
                 4);
        QVERIFY(testing::items(w.CmbArtist).contains("Шостакович"));
        QVERIFY(!f.catalogue.column("SELECT Format FROM Format").contains("x;y"));
        QCOMPARE(w.lblMsgBar1->text(), QString("5 records imported"));
        QCOMPARE(w.lblMsgBar3->text(), QString("5 Artists "));
        QCOMPARE(w.CmbArtist->currentText(), QString(""));  // the view's first record

        // The same file again: possible, and the preview says the records are there.
        f.desktop.answers = {};
        importFile(f, written, [&](FrmImport& preview) {
            QVERIFY(preview.lblCounts->text().contains(
                "Already in the catalogue with the same four values: 5 records"));
            QVERIFY(preview.optLeaveOutExisting->isChecked());
            QVERIFY(preview.lblCounts->text().contains("To add: 0 records"));
            QVERIFY(!preview.CmdImport->isEnabled());  // nothing to import until all are chosen
            preview.optAddEveryRow->setChecked(true);
            QVERIFY(preview.CmdImport->isEnabled());
            preview.optLeaveOutExisting->setChecked(true);
            QCOMPARE(preview.focusWidget(), preview.CmdCancel);  // Enter adds nothing
            QTest::keyClick(preview.focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(exactRows(f.catalogue), trimmed);

        // With one record more, those already there are left out unless the user chooses
        // otherwise: Enter adds only the new one, and the status bar says how many were left
        // out. Alt+E, then Alt+L, choose and choose back by keys.
        write(written, csv + "Nico,Chelsea Girl,Folk,LP\r\n");
        f.desktop.answers = {Answer::No, Answer::No};  // Nico and Folk: not to the lists
        importFile(f, written, [&](FrmImport& preview) {
            QVERIFY(preview.optAddEveryRow->isVisible() &&
                    preview.optLeaveOutExisting->isChecked());
            QCOMPARE(preview.focusWidget(), preview.CmdImport);
            QTest::keyClick(preview.focusWidget(), Qt::Key_E, Qt::AltModifier);
            QTRY_VERIFY(preview.optAddEveryRow->isChecked());  // a mnemonic clicks soon after
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
            QTRY_VERIFY(preview.optLeaveOutExisting->isChecked());
            preview.CmdImport->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(w.lblMsgBar1->text(), QString("1 record imported, 5 already there left out"));
        QCOMPARE(exactRows(f.catalogue).size(), before.size() + 1);
    }

    // The export follows the view, or in search mode the search results; bytes that are not
    // UTF-8 are written as replacement characters, and the user is told. (Such a name sorts
    // after every text, so no range of letters takes it.)
    void exportWritesWhatIsShownAsUtf8() {
        MainWindowFixture f(testing::threeRecords());
        f.catalogue.execute(
            "INSERT INTO Main (Artist, Title, Category, Format) VALUES (CAST(X'427AF6726B' AS "
            "TEXT), 'Post', 'Pop', "
            "'CD')");
        auto& w = shown(f);
        w.mnuViewTitle->trigger();
        const QString target = f.catalogue.directory() + "/view.csv";
        f.desktop.saveFileAnswers = {target};
        f.desktop.answers = {Answer::Ok};
        w.mnuFileExport->trigger();
        QVERIFY(f.desktop.messages.back().text.endsWith(
            "1 record holds bytes that are not UTF-8 text; each such byte was written as the "
            "replacement character \uFFFD."));
        QCOMPARE(contents(target), QByteArray("Artist,Title,Category,Format\r\n"
                                              "ABBA,Arrival,Pop,CD\r\n"
                                              "Bob Dylan,Blonde on Blonde,Rock,LP\r\n"
                                              "Coltrane,Giant Steps,Jazz,LP\r\n"
                                              "Bz\xEF\xBF\xBDrk,Post,Pop,CD\r\n"));
        testing::whileModal<windows::FrmSearch>([&] { click(w.CmdSearch); },
                                                [&](windows::FrmSearch& s) {
                                                    click(s.optSetCriteria);
                                                    s.txtFrom->setText("B");
                                                    s.txtTo->setText("C");
                                                    QTest::keyClick(s.txtTo, Qt::Key_Return);
                                                });
        QVERIFY(f.state.Modes.searching());
        QVERIFY(!w.mnuFileImport->isEnabled() && w.mnuFileExport->isEnabled());
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);  // kept private
        f.desktop.saveFileAnswers = {target};  // over the earlier file
        f.desktop.answers = {Answer::Ok};
        w.mnuFileExport->trigger();
        QCOMPARE(contents(target), QByteArray("Artist,Title,Category,Format\r\n"
                                              "Bob Dylan,Blonde on Blonde,Rock,LP\r\n"
                                              "Coltrane,Giant Steps,Jazz,LP\r\n"));
        const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;  // mirrors
        QCOMPARE(QFile::permissions(target) & ~userBits, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(QDir(f.catalogue.directory()).entryList(QDir::Files).size(), 2);  // no leftover
    }

    // A target that cannot be replaced stays as it was, with nothing left beside it.
    void aFailedExportLeavesTheTargetAsItWas() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QString folder = f.catalogue.directory() + "/taken.csv";
        QVERIFY(QDir().mkdir(folder));
        write(folder + "/inside", "kept");
        const QString none = f.catalogue.directory() + "/none/out.csv";
        for (const auto& [target, ending] :
             {std::pair{folder, QDir::toNativeSeparators(folder) + " is as it was."},
              std::pair{none, QString("Nothing was written.")}}) {
            f.desktop.saveFileAnswers = {target};
            f.desktop.answers = {Answer::Ok};
            w.mnuFileExport->trigger();
            const auto& said = f.desktop.messages.back();
            QVERIFY2(said.text.startsWith("The records could not be exported: ") &&
                         said.text.endsWith("\r\n\r\n" + ending),
                     qPrintable(said.text));
            QCOMPARE(said.icon, Icon::Exclamation);
        }
        QCOMPARE(contents(folder + "/inside"), QByteArray("kept"));
        QCOMPARE(QDir(f.catalogue.directory()).entryList(QDir::Files), QStringList{"Zembo.mdb"});
        QVERIFY(!f.desktop.busy && !w.ProgressBar1->isVisible());
    }

    void badFilesAreRefusedNamingTheLine_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("why");
        QTest::newRow("empty") << QByteArray() << "it is empty";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16)
                                << "line 3: it holds a zero byte, as binary files do";
        QTest::newRow("unterminated quote")
            << QByteArray("Artist,Title\nA,B\nC,\"D\nE,F\n")
            << "line 3: a quoted field that begins on this line is never closed";
    }
    void badFilesAreRefusedNamingTheLine() {
        QFETCH(QByteArray, file);
        QFETCH(QString, why);
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QString path = f.catalogue.directory() + "/bad.csv";
        write(path, file);
        const QStringList before = exactRows(f.catalogue);
        f.desktop.openFileAnswers = {path};
        f.desktop.answers = {Answer::Ok};
        w.mnuFileImport->trigger();  // no preview: it would wait here
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text, QDir::toNativeSeparators(path) +
                                                 " cannot be imported: " + why +
                                                 ".\r\n\r\nNothing was imported.");
        QCOMPARE(exactRows(f.catalogue), before);
        QVERIFY(w.window().centralWidget()->isEnabled() && !f.desktop.busy);
    }

    // Esc while the file is read or the records added asks; Yes leaves the catalogue as it
    // was, No goes on to the end.
    // A file of 100 000 columns: the preview lists the columns left out as far as they fit
    // and stays on the screen, its buttons within reach.
    void manyColumnsKeepThePreviewOnTheScreen() {
        MainWindowFixture f;
        shown(f);
        QByteArray header = "Artist,Title";
        for (int i = 1; i <= 100000; ++i) {
            header += ",Column " + QByteArray::number(i);
        }
        const QString path = f.catalogue.directory() + "/wide.csv";
        write(path, header + "\nNina Simone,Pastel Blues\n");
        importFile(f, path, [&](FrmImport& preview) {
            const QString counts = preview.lblCounts->text();
            QVERIFY2(counts.contains(QRegularExpression(
                         "Columns left out: Column 1, Column 2, .* and 99,9\\d\\d more$")),
                     qPrintable(counts.right(200)));
            const QRect screen = preview.screen()->availableGeometry();
            QVERIFY2(preview.width() <= screen.width(),
                     qPrintable(QString::number(preview.width())));
            QVERIFY(screen.contains(preview.CmdImport->mapToGlobal(QPoint(0, 0))));
        });
        // A file without a header says which columns its fields fill and which stay empty.
        write(path, "Nina Simone,Pastel Blues\nNico,Chelsea Girl\n");
        importFile(f, path, [&](FrmImport& preview) {
            QVERIFY2(preview.lblCounts->text().contains(
                         "each line is read as Artist, Title, in that order; Category and "
                         "Format are left empty.\n"),
                     qPrintable(preview.lblCounts->text()));
        });
    }

    void escapeStopsTheImportWithNothingWritten_data() {
        QTest::addColumn<bool>("whileAdding");
        QTest::addColumn<bool>("stop");
        QTest::newRow("reading, stop") << false << true;
        QTest::newRow("adding, stop") << true << true;
        QTest::newRow("adding, go on") << true << false;
    }
    void escapeStopsTheImportWithNothingWritten() {
        QFETCH(bool, whileAdding);
        QFETCH(bool, stop);
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QString path = f.catalogue.directory() + "/many.csv";
        write(path, manyRows(5000));
        bool locked = false;
        const auto pressEscape = [&] {
            locked = !w.window().centralWidget()->isEnabled() && !w.window().menuBar()->isEnabled();
            QTest::keyClick(&w.window(), Qt::Key_Escape);
            f.desktop.onEvents = {};
        };
        f.desktop.answers = {stop ? Answer::Yes : Answer::No, Answer::No};  // then: no artists
        f.desktop.openFileAnswers = {path};
        if (whileAdding) {
            importFile(f, path, [&](FrmImport& preview) {
                f.desktop.onEvents = pressEscape;
                accept(preview);
            });
        } else {
            f.desktop.onEvents = pressEscape;
            w.mnuFileImport->trigger();  // stopped before any preview
        }
        QVERIFY(locked);
        QCOMPARE(f.desktop.messages[0].text, QString("Stop the import? Nothing will be imported."));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{stop ? "3" : "5003"});
        QCOMPARE(w.lblMsgBar1->text(),
                 QString(stop ? "Import stopped, nothing added"
                              : QLocale().toString(5000) + " records imported"));
        QCOMPARE(w.lblMsgBar3->text(), QString(stop ? "3 Artists " : "5003 Artists "));
        QVERIFY(w.window().centralWidget()->isEnabled() && w.window().menuBar()->isEnabled() &&
                !f.desktop.busy);
        QVERIFY(f.state.Modes.mode() == app::Mode::Browsing);
    }

    void closingTheWindowDuringTheImportStopsItFirst() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QString path = f.catalogue.directory() + "/many.csv";
        write(path, manyRows(3000));
        f.desktop.answers = {Answer::Yes};
        importFile(f, path, [&](FrmImport& preview) {
            f.desktop.onEvents = [&] {
                w.window().close();
                f.desktop.onEvents = {};
            };
            accept(preview);
        });
        QCOMPARE(f.desktop.messages[0].text, QString("Stop the import? Nothing will be imported."));
        QTRY_VERIFY(!w.window().isVisible());  // closed once the run has stopped
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"3"});
    }

    // Another program holding the file right after the import: the view is read once it lets
    // go, waited for beside the windows, and the records imported are shown and counted.
    void theImportedRecordsAreShownOnceAHoldRightAfterEnds() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QString path = f.catalogue.directory() + "/many.csv";
        write(path, manyRows(50));
        std::optional<testing::FileLock> lock;
        QString said;
        int turns = 0;
        f.desktop.onBusyPointer = [&](bool on) {  // the view about to be read again
            if (on && said.isEmpty() && w.lblMsgBar1->text() == "50 records imported") {
                lock.emplace(f.catalogue.path());
            }
        };
        f.desktop.onEvents = [&] {
            if (lock && (w.ProgressBar1->isVisible() || ++turns > 500)) {  // ten seconds at most
                said = w.ProgressBar1->format();
                lock.reset();
            }
        };
        f.desktop.answers = {Answer::No};  // no new artists in the list
        importFile(f, path, accept);
        QCOMPARE(said, QString("Another program holds the catalogue file; the records are read as "
                               "soon as it lets go.   (Esc stops)"));
        QCOMPARE(f.desktop.messageTexts().size(), 1);
        QCOMPARE(w.lblMsgBar1->text(), QString("50 records imported"));
        QCOMPARE(w.lblMsgBar3->text(), QString("53 Artists "));
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
    }

    // Another program holding the file after the preview: said, nothing written. Add mode
    // leaves the whole File menu out.
    void aHeldFileOrAddModeImportsNothing() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QString path = f.catalogue.directory() + "/one.csv";
        write(path, "Artist,Title\nZappa,Hot Rats\n");
        std::optional<testing::FileLock> lock;
        f.desktop.answers = {Answer::Ok};
        importFile(f, path, [&](FrmImport& preview) {
            lock.emplace(f.catalogue.path());
            accept(preview);
        });
        QVERIFY2(f.desktop.messages[0].text.endsWith("\r\n\r\nNothing was imported."),
                 qPrintable(f.desktop.messages[0].text));
        lock.reset();
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"3"});
        click(w.CmdAdd);
        QVERIFY(!w.mnuFile->menuAction()->isEnabled());
    }

    // A spreadsheet's columns are found by their names and chosen again in the preview, which
    // reads the file again with them.
    void aSpreadsheetsColumnsAreFoundAndChosen() {
        MainWindowFixture f(testing::threeRecords());
        shown(f);
        const QString path = f.catalogue.directory() + "/sheet.csv";
        write(path,
              "Album Artist,Track,Album,Genre,Year,Medium\n"
              "Massive Attack,Teardrop,Mezzanine,Trip Hop,1998,CD\n");
        f.desktop.answers = {Answer::No, Answer::No, Answer::No};
        const auto firstRow = [](FrmImport& preview) {
            QStringList texts;
            for (int column = 0; column < 4; ++column) {
                texts << preview.grdPreview->item(0, column)->text();
            }
            return texts.join('|');
        };
        importFile(f, path, [&](FrmImport& preview) {
            QVERIFY(preview.fraColumns);
            QCOMPARE(firstRow(preview), QString("Massive Attack|Mezzanine|Trip Hop|CD"));
            QVERIFY(preview.lblCounts->text().contains("Columns left out: Track, Year"));
            auto* title = preview.findChild<QComboBox*>("cmbTitleColumn");
            QTest::keyClick(&preview, Qt::Key_T, Qt::AltModifier);  // the label's accelerator
            QCOMPARE(QApplication::focusWidget(), title);
            // Up opens the list rather than reading the file again at each step; Enter in the
            // list chooses Track, and the file is read again with it.
            QTest::keyClick(title, Qt::Key_Up);
            QTRY_VERIFY(title->view()->isVisible());
            QCOMPARE(firstRow(preview), QString("Massive Attack|Mezzanine|Trip Hop|CD"));
            QTest::keyClick(title->view(), Qt::Key_Up);
            QTest::keyClick(title->view(), Qt::Key_Return);
            QTRY_COMPARE(firstRow(preview), QString("Massive Attack|Teardrop|Trip Hop|CD"));
            QCOMPARE(QApplication::focusWidget(), title);  // the keys stay with it
            QVERIFY(preview.lblCounts->text().contains("Columns left out: Album, Year"));
            accept(preview);
        });
        QVERIFY(exactRows(f.catalogue).contains("'Massive Attack'|'Teardrop'|'Trip Hop'|'CD'"));
    }

    // A folder of music made by the encoders' taggers: one record per album, what was passed
    // over and what could not be read said in the preview, an album already there left out.
    void aMusicFolderIsImportedAsAlbums() {
        MainWindowFixture f({{"Björk", "Homogenic", "Pop", "MP3"}});
        auto& w = shown(f);
        f.desktop.openFileAnswers = {QUORVANE_MUSIC_DIR};
        f.desktop.answers = {Answer::No, Answer::No, Answer::No};  // no list offers taken
        testing::whileModal<FrmImport>(
            [&] { w.mnuFileImportMusic->trigger(); },
            [&](FrmImport& preview) {
                QCOMPARE(preview.windowTitle(), QString("Import Music Folder"));
                const QString said = preview.lblCounts->text();
                QVERIFY2(said.startsWith("collection (music folder): 12 tracks "
                                         "read in 6 albums\n"
                                         "Without an album tag, named by their "
                                         "folder: 1 album\n"
                                         "Files passed over, not music: 2\n"
                                         "Music files that could not be read (2): "
                                         "Sigur Rós/cut short.flac, "
                                         "Various/noise.mp3\n"
                                         "To add: 5 records\n"
                                         "Already in the catalogue with the same "
                                         "four values: 1 record"),
                         qPrintable(said));
                QVERIFY(preview.optLeaveOutExisting->isChecked());
                accept(preview);
            });
        QCOMPARE(exactRows(f.catalogue),
                 (QStringList{"'Air'|'Moon Safari'|'Electronic'|'MP3'",
                              "'Björk'|'Homogenic'|'Pop'|'MP3'", "'David Bowie'|'Low'|'Rock'|'MP3'",
                              "'Grandma'|'Tapes From Grandma'|'Folk'|'MP3'",
                              "'Sigur Rós'|'Ágætis byrjun'|'Post-Rock'|'FLAC'",
                              "'Various Artists'|'Pure Moods'|'New Age'|'OGG'"}));
        QCOMPARE(w.lblMsgBar1->text(), QString("5 records imported, 1 already there left out"));
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
