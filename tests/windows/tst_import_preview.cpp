// The import preview as a user meets it: the same file imported again, names longer than a
// list keeps, a file in another encoding.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
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
    return preview.grdPreview->item(row, column)->text();
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
};

QTEST_MAIN(TestImportPreview)
#include "tst_import_preview.moc"
