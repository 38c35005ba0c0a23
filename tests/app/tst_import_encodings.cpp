// A file to import in another encoding than UTF-8: found, read, and read again in another.
#include <QStringEncoder>
#include <QtTest>

#include "app/transfer/RecordImport.h"
#include "support/TestCatalogue.h"

using app::ImportRefused;
using app::RecordImport;

namespace {

const QString Records = "Artist,Title\r\nBjörk,Homogénic – Live\r\nSigur Rós,Ágætis byrjun\r\n";

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding,
                   bool byteOrderMark = true) {
    QStringEncoder encoder(encoding, byteOrderMark ? QStringConverter::Flag::WriteBom
                                                   : QStringConverter::Flag::Default);
    return encoder(text);
}

QString firstRecords(const RecordImport& import) {
    testing::TestCatalogue catalogue;
    db::Connection connection;
    connection.open(catalogue.path().toStdString());
    QStringList records;
    const auto preview = import.preview(connection, {});
    for (const auto& texts : preview->first) {
        records << QString::fromStdString(texts[0].value_or("")) + "|" +
                       QString::fromStdString(texts[1].value_or(""));
    }
    return records.join(", ");
}

}  // namespace

class TstImportEncodings : public QObject {
    Q_OBJECT

  private slots:
    // Each file is read in the encoding it was written in, and says which.
    void filesAreReadInTheirEncoding_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("first");
        const QString records = "Björk|Homogénic – Live, Sigur Rós|Ágætis byrjun";
        QTest::newRow("UTF-8") << Records.toUtf8() << "UTF-8" << records;
        QTest::newRow("UTF-8, marked")
            << QByteArray("\xEF\xBB\xBF" + Records.toUtf8()) << "UTF-8" << records;
        QTest::newRow("Windows-1252") << QByteArray(
                                             "Artist,Title\r\nBj\xF6rk,Homog\xE9nic \x96 "
                                             "Live\r\nSigur R\xF3s,\xC1g\xE6tis byrjun\r\n")
                                      << "Windows-1252" << records;
        // ISO-8859-1's letters are Windows-1252's: read as that, which also has the dash.
        QTest::newRow("ISO-8859-1")
            << QByteArray("Artist\nBj\xF6rk Gu\xF0mundsd\xF3ttir\n") << "Windows-1252"
            << "Björk Guðmundsdóttir|";
        QTest::newRow("UTF-16 LE, marked")
            << encoded(Records, QStringConverter::Utf16LE) << "UTF-16" << records;
        QTest::newRow("UTF-16 BE, unmarked")
            << encoded(Records, QStringConverter::Utf16BE, false) << "UTF-16" << records;
        QTest::newRow("UTF-16 LE, unmarked")
            << encoded(Records, QStringConverter::Utf16LE, false) << "UTF-16" << records;
        QTest::newRow("UTF-32 LE, marked")
            << encoded(Records, QStringConverter::Utf32LE) << "UTF-32" << records;
        QTest::newRow("KOI8-R")
            << QByteArray(
                   "Artist,Title\n\xFB\xCF\xD3\xD4\xC1\xCB\xCF\xD7\xC9\xDE,\xF3\xC9\xCD"
                   "\xC6\xCF\xCE\xC9\xD1 \xCE\xCF\xCD\xC5\xD2 \xD0\xD1\xD4\xD8\n")
            << "KOI8-R"
            << "Шостакович|Симфония номер пять";
    }
    void filesAreReadInTheirEncoding() {
        QFETCH(QByteArray, file);
        QFETCH(QString, encoding);
        QFETCH(QString, first);
        const RecordImport import = RecordImport::fromBytes(file.toStdString());
        QCOMPARE(QString::fromStdString(import.encoding()), encoding);
        QCOMPARE(firstRecords(import), first);
        const auto choices = import.encodingChoices();
        QVERIFY(std::find(choices.begin(), choices.end(), encoding.toStdString()) != choices.end());
    }

    // What an import keeps of white space, whatever file it comes from: a run of it (a line
    // break in quotes, tabs, blanks of other scripts) is one blank, none is kept at either end.
    void whiteSpaceIsFoldedAsImported_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("first");
        QTest::newRow("quoted line break")
            << QByteArray("Artist,Title\n\"Nick\r\nDrake\",\"Pink  Moon \"\n")
            << "Nick Drake|Pink Moon";
        QTest::newRow("tabs and other blanks")
            << QByteArray(
                   "Artist;Title\n\tSigur\u00A0\u00A0R\u00F3s\u3000;\u00C1g\u00E6tis\tbyrjun\n")
            << "Sigur Rós|Ágætis byrjun";
        QTest::newRow("Discogs artist number")
            << QByteArray(
                   "Catalog#,Artist,Title,Format,release_id\n"
                   "X 1,\"  Spaced (2)  \",\"  Out  There \",\"LP, Album\",7\n")
            << "Spaced|Out There";
        QTest::newRow("plain text stays")
            << QByteArray("Artist\n坂本龍一 Ryuichi\n") << "坂本龍一 Ryuichi|";
    }
    void whiteSpaceIsFoldedAsImported() {
        QFETCH(QByteArray, file);
        QFETCH(QString, first);
        QCOMPARE(firstRecords(RecordImport::fromBytes(file.toStdString())), first);
    }

    // Another encoding chosen reads the file again in it; one the file is not in is refused
    // and the file stays read as it was.
    void anotherEncodingIsChosen() {
        RecordImport import = RecordImport::fromBytes("Artist,Title\nPrice \xA4,Caf\xE9\n");
        QCOMPARE(import.encoding(), std::string("Windows-1252"));
        QCOMPARE(firstRecords(import), QString("Price ¤|Café"));
        const auto choices = import.encodingChoices();
        QCOMPARE(std::vector<std::string>(choices.begin(), choices.begin() + 5),
                 (std::vector<std::string>{"UTF-8", "UTF-16", "Windows-1252", "ISO-8859-1",
                                           "ISO-8859-15"}));
        import.readAs("ISO-8859-15");
        QCOMPARE(firstRecords(import), QString("Price €|Café"));
        try {
            import.readAs("UTF-8");
            QFAIL("read as UTF-8");
        } catch (const ImportRefused& refused) {
            QCOMPARE(refused.line, std::size_t(2));
            QVERIFY2(refused.what.startsWith("it is not UTF-8 text"), qPrintable(refused.what));
        }
        QCOMPARE(import.encoding(), std::string("ISO-8859-15"));
        QCOMPARE(firstRecords(import), QString("Price €|Café"));
        // Read in another encoding, the header may name other columns: those the user chose
        // stay while the file has as many.
        import.chooseColumns({1, 0, -1, -1});
        import.readAs("Windows-1252");
        QCOMPARE(firstRecords(import), QString("Café|Price ¤"));

        // A line or two is little to go by: of a short KOI8-R file the detection is unsure,
        // and KOI8-R, one of its proposals, is offered and reads it right.
        RecordImport shortRussian = RecordImport::fromBytes(
            "Artist,Title\n\xEB\xC9\xCE\xCF,\xE7\xD2\xD5\xD0\xD0\xC1 \xCB\xD2\xCF\xD7\xC9\n");
        const auto offered = shortRussian.encodingChoices();
        QVERIFY(std::find(offered.begin(), offered.end(), "KOI8-R") != offered.end());
        shortRussian.readAs("KOI8-R");
        QCOMPARE(firstRecords(shortRussian), QString("Кино|Группа крови"));
    }
};

QTEST_GUILESS_MAIN(TstImportEncodings)
#include "tst_import_encodings.moc"
