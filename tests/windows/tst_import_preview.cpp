// The import preview as a user meets it: the same file imported again, names longer than a
// list keeps, a file in another encoding.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "support/ImportFile.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/transfer/FrmImport.h"

using platform::Answer;
using testing::importFile;
using testing::MainWindowFixture;
using testing::shown;
using testing::write;
using windows::FrmImport;

namespace {

void pressEnter(FrmImport& preview) {
    QTest::keyClick(preview.focusWidget(), Qt::Key_Return);
}

// A choice in a drop-down by keys: an arrow opens its list, `steps` of it move, Enter takes.
void choose(QComboBox* box, Qt::Key arrow, int steps) {
    QTest::keyClick(box, arrow);
    QTRY_VERIFY(box->view()->isVisible());
    for (int step = 0; step < steps; ++step) {
        QTest::keyClick(box->view(), arrow);
    }
    QTest::keyClick(box->view(), Qt::Key_Return);
    QTRY_VERIFY(!box->view()->isVisible());
}

QString cell(const FrmImport& preview, int row, int column) {
    const QTableWidgetItem* item = preview.grdPreview->item(row, column);
    return item ? item->text() : "<no cell>";
}

}  // namespace

class TestImportPreview : public QObject {
    Q_OBJECT

  private slots:
    // 200 rows imported, one of them changed and one deleted since: Enter on the preview of
    // the same file adds those two again, never the 198 there already.
    void theSameFileAgainAddsOnlyWhatIsMissing() {
        MainWindowFixture f;
        auto& w = shown(f);
        QByteArray file = "Artist,Title,Category,Format\n";
        for (int i = 0; i < 200; ++i) {
            file += "Artist " + QByteArray::number(i) + ",Title " + QByteArray::number(i) +
                    ",Rock,CD\n";
        }
        const QString path = f.catalogue.directory() + "/records.csv";
        write(path, file);
        f.desktop.answers = {Answer::No};  // the artists not to the list
        importFile(f, path, [](FrmImport& preview) {
            QVERIFY(preview.optLeaveOutExisting->isHidden());  // none is there yet
            pressEnter(preview);
        });
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"200"});
        f.catalogue.execute("UPDATE Main SET Title = 'Changed' WHERE Artist = 'Artist 7'");
        f.catalogue.execute("DELETE FROM Main WHERE Artist = 'Artist 9'");
        f.desktop.answers = {Answer::No};
        importFile(f, path, [](FrmImport& preview) {
            QVERIFY(preview.optLeaveOutExisting->isChecked());
            QVERIFY(preview.lblCounts->text().contains("To add: 2 records"));
            // The records shown are those to be stored: the two missing, or all when all go.
            QCOMPARE(preview.grdPreview->rowCount(), 2);
            QCOMPARE(cell(preview, 1, 0), QString("Artist 9"));
            preview.optAddEveryRow->setChecked(true);
            QCOMPARE(preview.grdPreview->rowCount(), 10);
            preview.optLeaveOutExisting->setChecked(true);
            QCOMPARE(preview.focusWidget(), preview.CmdImport);
            pressEnter(preview);
        });
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"201"});
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main WHERE Artist = 'Artist 7'"),
                 QStringList{"2"});
        QCOMPARE(w.lblMsgBar1->text(), QString("2 records imported, 198 already there left out"));
    }

    // Names longer than their list keeps are not offered for it, cut into names no record
    // holds; the preview says how many. The records keep them as their columns allow.
    void namesLongerThanTheirListAreNotOffered() {
        MainWindowFixture f;
        shown(f);
        const QString path = f.catalogue.directory() + "/genres.csv";
        write(path,
              "Artist,Title,Genre\n"
              "Weather Report,Heavy Weather,\"Jazz, Rock, Funk\"\n"
              "Bob Marley,Exodus,Reggae\n"
              "Run-DMC,Raising Hell,Hip Hop\n"
              "The Specials,The Specials,Ska \n"
              "Toots,Funky Kingston,reggae\n");
        f.desktop.answers = {Answer::No, Answer::Yes};  // no artists; the categories offered
        importFile(f, path, [](FrmImport& preview) {
            QVERIFY2(preview.lblCounts->text().contains(
                         "3 categories longer than the list's 5 letters are not offered"),
                     qPrintable(preview.lblCounts->text()));
            pressEnter(preview);
        });
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QVERIFY2(f.desktop.messages[1].text.startsWith(
                     "The imported records name 1 category that the Category list does not "
                     "hold:\r\n    Ska\r\n"),
                 qPrintable(f.desktop.messages[1].text));
        QCOMPARE(f.catalogue.column("SELECT Category FROM Category WHERE rowid > 15"),
                 QStringList{"Ska"});
        QCOMPARE(f.catalogue.column("SELECT Category FROM Main WHERE Artist = 'Weather Report'"),
                 QStringList{"Jazz, Rock, Fun"});
    }

    // A spreadsheet's CSV in Windows-1252 is read as such and says so; another encoding is
    // chosen by keys, one that cannot read the file refused with the file read as before.
    void aFileInAnotherEncodingIsReadAndMayBeReadAgain() {
        MainWindowFixture f;
        shown(f);
        const QString path = f.catalogue.directory() + "/legacy.csv";
        write(path, "Artist;Title;Category\r\nBj\xF6rk;Debut;Pop\r\nPrice \xA4;Caf\xE9;Jazz\r\n");
        f.desktop.answers = {Answer::Ok, Answer::No};
        importFile(f, path, [&](FrmImport& preview) {
            QVERIFY2(preview.lblCounts->text().contains("Read as Windows-1252"),
                     qPrintable(preview.lblCounts->text()));
            QCOMPARE(preview.cmbEncoding->currentText(), QString("Windows-1252"));
            QCOMPARE(cell(preview, 0, 0), QString("Björk"));
            QCOMPARE(cell(preview, 1, 0), QString("Price ¤"));
            QTest::keyClick(preview.focusWidget(), Qt::Key_D, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), preview.cmbEncoding);
            choose(preview.cmbEncoding, Qt::Key_Up, 2);  // UTF-8
            QCOMPARE(f.desktop.messages.size(), std::size_t(1));
            QCOMPARE(f.desktop.messages[0].text,
                     QString("The file cannot be read so: line 2: it is not UTF-8 text; save it "
                             "as CSV in UTF-8 and import that.\r\n\r\nThe preview shows it as "
                             "it was read before."));
            QCOMPARE(preview.cmbEncoding->currentText(), QString("Windows-1252"));
            QCOMPARE(cell(preview, 0, 0), QString("Björk"));
            choose(preview.cmbEncoding, Qt::Key_Down, 2);  // ISO-8859-15
            QCOMPARE(cell(preview, 1, 0), QString("Price €"));
            QVERIFY(preview.lblCounts->text().contains("Read as ISO-8859-15"));
            QCOMPARE(QApplication::focusWidget(), preview.cmbEncoding);
            preview.CmdImport->setFocus();
            pressEnter(preview);
        });
        QCOMPARE(f.catalogue.column("SELECT Artist || '|' || Title FROM Main ORDER BY rowid"),
                 (QStringList{"Björk|Debut", "Price €|Café"}));
    }

    // A spreadsheet whose header names none of the catalogue's columns: the preview says so,
    // Import is off, and the columns chosen by keys make the records it stores.
    void columnsOfUnknownNamesAreChosen() {
        MainWindowFixture f;
        shown(f);
        const QString path = f.catalogue.directory() + "/sheet.csv";
        write(path,
              "Interpret,Werk,Stil,Traeger,Jahr,Label,Preis,Code,Ort,Notiz,Land,Nr\n"
              "ABBA,Arrival,Pop,CD,1976,Polar,9,X,S,-,SE,1\n");
        f.desktop.answers = {Answer::No, Answer::No};  // ABBA, Pop: not to the lists
        importFile(f, path, [&](FrmImport& preview) {
            QVERIFY(preview.lblCounts->text().contains("Its first line names none of the columns"));
            QVERIFY(!preview.CmdImport->isEnabled());
            QCOMPARE(preview.grdPreview->rowCount(), 0);
            QComboBox* artist = preview.findChild<QComboBox*>("cmbArtistColumn");
            QTest::keyClick(&preview, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), artist);
            choose(artist, Qt::Key_Down, 1);  // Interpret, the first after "(none)"
            QCOMPARE(cell(preview, 0, 0), QString("ABBA"));
            QVERIFY(preview.CmdImport->isEnabled());
            preview.CmdImport->setFocus();
            pressEnter(preview);
        });
        QCOMPARE(f.catalogue.column("SELECT Artist || '|' || coalesce(Title, '-') FROM Main"),
                 QStringList{"ABBA|-"});
    }

    // A music folder whose last file keeps the tag reader busy (a download of zeros not yet
    // written): the windows stay with the user, Esc is heard while that file is read, and Yes
    // to the question stops the import with nothing previewed or added.
    void aStopWhileTheLastFileIsReadIsHeard() {
        MainWindowFixture f;
        auto& w = shown(f);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QUORVANE_MUSIC_DIR "/Air/Moon Safari/01.mp3", dir.filePath("01.mp3")));
        QFile big(dir.filePath("zz big.mp3"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(300 << 20));
        big.close();
        f.desktop.openFileAnswers = {dir.path()};
        f.desktop.answers = {Answer::Yes};
        QElapsedTimer since;
        since.start();
        qint64 pressedAt = -1;
        f.desktop.onEvents = [&] {
            if (since.elapsed() > 500) {  // the first file is long read
                pressedAt = since.elapsed();
                QTest::keyClick(&w.window(), Qt::Key_Escape);
                f.desktop.onEvents = {};
            }
        };
        bool previewShown = false;  // closed at once if it comes: the test must not wait
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&] {
            if (auto* preview = qobject_cast<FrmImport*>(QApplication::activeModalWidget())) {
                previewShown = true;
                preview->reject();
            }
        });
        guard.start(100);
        w.mnuFileImportMusic->trigger();
        QVERIFY(!previewShown);
        QVERIFY(pressedAt > 0 && pressedAt < 1500);  // heard while the last file was read
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"Stop the import? Nothing will be imported."});
        QCOMPARE(w.lblMsgBar1->text(), QString("Import stopped, nothing added"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"0"});
        QVERIFY(since.elapsed() < 8000);
    }

    // Every file not read is named, with why, in the details the preview offers.
    void theDetailsNameEveryFileNotRead() {
        MainWindowFixture f;
        auto& w = shown(f);
        QTemporaryDir dir;
        for (int i = 0; i < 9; ++i) {
            write(dir.filePath(QString("noise %1.mp3").arg(i)), QByteArray(100, char('a' + i)));
        }
        QVERIFY(QFile::copy(QUORVANE_MUSIC_DIR "/Air/Moon Safari/01.mp3", dir.filePath("01.mp3")));
        f.desktop.openFileAnswers = {dir.path()};
        testing::whileModal<FrmImport>(
            [&] { w.mnuFileImportMusic->trigger(); },
            [&](FrmImport& preview) {
                QVERIFY(preview.lblCounts->text().contains(" more"));
                testing::whileModal<QDialog>(
                    [&] { testing::click(preview.CmdDetails); },
                    [](QDialog& details) {
                        const QStringList lines = details.findChild<QPlainTextEdit*>("txtDetails")
                                                      ->toPlainText()
                                                      .split('\n');
                        QCOMPARE(lines.size(), 9);
                        QCOMPARE(lines.first(),
                                 QString("noise 0.mp3: no sound could be read in it"));
                        QCOMPARE(lines.last(),
                                 QString("noise 8.mp3: no sound could be read in it"));
                    });
            });
    }
};

QTEST_MAIN(TestImportPreview)
#include "tst_import_preview.moc"
