// The CSV reader and writer: what spreadsheets write, what is malformed, and the round trip.
#include <QtTest>
#include <optional>
#include <string>
#include <vector>

#include "csv/CsvReader.h"
#include "csv/CsvWriter.h"

using csv::Field;
using csv::Malformed;
using csv::Reader;

namespace {

// The records as text: fields joined by '|', a bare empty field as "~", records by '/'.
QString readAll(const QByteArray& data, char delimiter, QList<std::size_t>* lines = nullptr) {
    Reader reader(std::string_view(data.constData(), data.size()), delimiter);
    std::vector<Field> fields;
    QStringList records;
    while (reader.next(fields)) {
        QStringList texts;
        for (const Field& field : fields) {
            texts << (field.text.empty() && !field.quoted ? "~"
                                                          : QString::fromStdString(field.text));
        }
        records << texts.join('|');
        if (lines) {
            *lines << reader.recordLine();
        }
    }
    return records.join('/');
}

}  // namespace

class TstCsv : public QObject {
    Q_OBJECT
  private slots:
    void readsWhatSpreadsheetsWrite_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<char>("delimiter");
        QTest::addColumn<QString>("records");
        QTest::newRow("CR LF") << QByteArray("a,b\r\nc,d\r\n") << ',' << "a|b/c|d";
        QTest::newRow("LF, no final break") << QByteArray("a,b\nc,d") << ',' << "a|b/c|d";
        QTest::newRow("CR alone") << QByteArray("a,b\rc,d\r") << ',' << "a|b/c|d";
        QTest::newRow("delimiter in quotes") << QByteArray("\"a,b\",c\n") << ',' << "a,b|c";
        QTest::newRow("doubled quotes")
            << QByteArray("\"say \"\"hi\"\"\",x\n") << ',' << "say \"hi\"|x";
        QTest::newRow("line break in quotes")
            << QByteArray("\"one\r\ntwo\",x\nnext,y\n") << ',' << "one\r\ntwo|x/next|y";
        QTest::newRow("empty: bare and quoted") << QByteArray(",\"\",\n") << ',' << "~||~";
        QTest::newRow("blank line") << QByteArray("a\n\nb\n") << ',' << "a/~/b";
        QTest::newRow("quote inside a bare field")
            << QByteArray("O\"Brien,x\n") << ',' << "O\"Brien|x";
        QTest::newRow("semicolon") << QByteArray("a;\"b;c\";d,e\n") << ';' << "a|b;c|d,e";
        QTest::newRow("tab") << QByteArray("a\tb c\t\"d\te\"\n") << '\t' << "a|b c|d\te";
        QTest::newRow("non-Latin")
            << QByteArray("Шостакович,交響曲\n") << ',' << "Шостакович|交響曲";
        QTest::newRow("blanks kept") << QByteArray(" a , b \n") << ',' << " a | b ";
    }
    void readsWhatSpreadsheetsWrite() {
        QFETCH(QByteArray, data);
        QFETCH(char, delimiter);
        QFETCH(QString, records);
        QCOMPARE(readAll(data, delimiter), records);
    }

    void recordsKnowTheLineTheyBeginOn() {
        QList<std::size_t> lines;
        readAll("h\n\"a\nb\nc\",x\nd\r\ne\n", ',', &lines);
        QCOMPARE(lines, (QList<std::size_t>{1, 2, 5, 6}));
    }

    void malformedTextNamesItsLine_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("what");
        QTest::newRow("unterminated quote")
            << QByteArray("h\nok,1\n\"never\nclosed,2\n") << 3 << "never closed";
        QTest::newRow("text after a closing quote")
            << QByteArray("h\n\"a\nb\"c,1\n") << 3 << "closing quote is followed";
    }
    void malformedTextNamesItsLine() {
        QFETCH(QByteArray, data);
        QFETCH(int, line);
        QFETCH(QString, what);
        try {
            readAll(data, ',');
            QFAIL("read as well-formed");
        } catch (const Malformed& fault) {
            QCOMPARE(fault.line, std::size_t(line));
            QVERIFY2(QString(fault.what()).contains(what), fault.what());
        }
    }

    void onlyUtf8TextIsText_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("line");  // 0: accepted
        QTest::newRow("ASCII and UTF-8") << QByteArray("a\nÄ€😀\n") << 0;
        QTest::newRow("zero byte") << QByteArray("a\nb\nc\0d\n", 8) << 3;
        QTest::newRow("Latin-1") << QByteArray("a\nBj\xF6rk\n") << 2;
        QTest::newRow("cut sequence at the end") << QByteArray("a\n\xE2\x82") << 2;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << 1;
        QTest::newRow("surrogate") << QByteArray("x\n\n\xED\xA0\x80") << 3;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << 1;
    }
    void onlyUtf8TextIsText() {
        QFETCH(QByteArray, data);
        QFETCH(int, line);
        try {
            csv::requireUtf8Text(std::string_view(data.constData(), data.size()));
            QCOMPARE(line, 0);
        } catch (const Malformed& fault) {
            QCOMPARE(fault.line, std::size_t(line));
        }
    }

    void byteOrderMarkIsLeftOut() {
        QCOMPARE(csv::withoutByteOrderMark("\xEF\xBB\xBF"
                                           "Artist"),
                 std::string_view("Artist"));
        QCOMPARE(csv::withoutByteOrderMark("Artist"), std::string_view("Artist"));
    }

    void writerQuotesWhatNeedsItAndReadsBack() {
        const std::vector<std::optional<std::string>> fields{
            "plain",  "a,b", "say \"hi\"", "one\r\ntwo", "lf\nonly",    " lead",
            "trail ", "",    std::nullopt, "O'Connor",   "Шостакович 😀"};
        std::string out;
        csv::appendRecord(out, fields);
        QCOMPARE(QByteArray::fromStdString(out),
                 QByteArray("plain,\"a,b\",\"say \"\"hi\"\"\",\"one\r\ntwo\",\"lf\nonly\","
                            "\" lead\",\"trail \",\"\",,O'Connor,Шостакович 😀\r\n"));
        Reader reader(out, ',');
        std::vector<Field> read;
        QVERIFY(reader.next(read));
        QCOMPARE(read.size(), fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool null = read[i].text.empty() && !read[i].quoted;
            QCOMPARE(null, !fields[i].has_value());
            QCOMPARE(read[i].text, fields[i].value_or(""));
        }
        QVERIFY(!reader.next(read));
    }
};

QTEST_APPLESS_MAIN(TstCsv)
#include "tst_csv.moc"
