// Reports as pages of data: the layouts shipped, sorting, selection, headers on every page,
// groups that run on, counts and totals, page numbers, and the failures of a run.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "reports/Painting.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "support/TestCatalogue.h"

using reports::Page;
using reports::ReportSettings;

namespace {

const QString DataDir = QStringLiteral(QUORVANE_DATA_DIR);

// A page's texts line by line, top to bottom, the runs of a line joined by "|".
QStringList lines(const Page& page) {
    std::map<int, QStringList> byTop;
    for (const auto& run : page.runs) {
        byTop[static_cast<int>(std::lround(run.box.top() * 10))] << run.text;
    }
    QStringList result;
    for (const auto& [top, texts] : byTop) {
        result << texts.join('|');
    }
    return result;
}

ReportSettings settings(const char* file, std::array<QString, 3> sort, const QString& heading,
                        const QString& selection = {}) {
    ReportSettings s;
    s.reportFile = DataDir + "/" + file;
    s.sortFields = sort;
    s.formulas = {"TxtTitle = '" + heading + "'"};
    s.selectionFormula = selection;
    return s;
}

std::unique_ptr<reports::Report> run(testing::TestCatalogue& file, const ReportSettings& s) {
    static db::Connection cn;
    cn.open(file.path().toStdString());
    return reports::makeReport(cn, s, QDate(2026, 12, 7));
}

// Many records: artists A00..A39, three albums each.
std::vector<testing::TestCatalogue::Row> manyRecords() {
    std::vector<testing::TestCatalogue::Row> rows;
    for (int a = 39; a >= 0; --a) {
        for (int t = 0; t < 3; ++t) {
            rows.push_back({QString("A%1").arg(a, 2, 10, QChar('0')).toStdString(),
                            QString("Album %1").arg(t).toStdString(), "Rock",
                            t == 1 ? db::Value() : db::Value("CD")});
        }
    }
    return rows;
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

  private slots:
    void fullReportHasItsHeadersOnEveryPageAndCountsAtTheEnd() {
        testing::TestCatalogue file(manyRecords());
        auto report = run(file, settings("Zembo1.rpt", {"+{Main.Artist}", "+{Main.Title}", ""},
                                         "View by Artist"));
        QCOMPARE(report->recordCount(), 120);
        QVERIFY(report->pageCount() >= 2);
        int bodyLines = 0;
        for (int p = 0; p < report->pageCount(); ++p) {
            const QStringList text = lines(report->page(p));
            QCOMPARE(text[0], QString("My Recording Collection"));
            QCOMPARE(text[1], QString("View by Artist"));
            QCOMPARE(text[2], QString("Artist|Title|Category|Format"));
            QVERIFY2(
                text.last().endsWith(QString("Page %1 of %2").arg(p + 1).arg(report->pageCount())),
                qPrintable(text.last()));
            QVERIFY(text.last().startsWith("Printed "));
            bodyLines += static_cast<int>(text.size()) - 4;
        }
        QCOMPARE(bodyLines, 121);  // every record, then the closing line
        const QStringList first = lines(report->page(0));
        QCOMPARE(first[3], QString("A00|Album 0|Rock|CD"));
        QCOMPARE(first[4], QString("A00|Album 1|Rock|"));  // a Null prints as nothing
        const QStringList last = lines(report->page(report->pageCount() - 1));
        QCOMPARE(last[last.size() - 2], QString("120 records"));

        file.execute("UPDATE ReportTitle SET Title = NULL");  // as another tool may leave it
        auto untitled =
            run(file, settings("Zembo1.rpt", {"+{Main.Artist}", "", ""}, "View by Artist"));
        QCOMPARE(lines(untitled->page(0))[0], QString());
        file.execute("DELETE FROM ReportTitle");
        auto noRow =
            run(file, settings("Zembo1.rpt", {"+{Main.Artist}", "", ""}, "View by Artist"));
        QCOMPARE(lines(noRow->page(0))[0], QString());
    }

    void sortListAndSelectionDecideTheLines() {
        testing::TestCatalogue file({{"Bowie", "Low", "Rock", "LP"},
                                     {"O'Connor", "Zz", "Folk", "CD"},
                                     {"ABBA", "Arrival", "Pop", "CD"},
                                     {"Cale", "Paris 1919", "Art", "LP"}});
        auto byTitle =
            run(file, settings("Zembo1.rpt", {"+{Main.Title}", "", ""}, "View by Title"));
        QStringList titles;
        for (const QString& line : lines(byTitle->page(0)).mid(3, 4)) {
            titles << line.section('|', 1, 1);
        }
        QCOMPARE(titles, (QStringList{"Arrival", "Low", "Paris 1919", "Zz"}));

        auto downwards = run(file, settings("Zembo1.rpt", {"-{Main.Format}", "+{Main.Artist}", ""},
                                            "View by Format"));
        QCOMPARE(lines(downwards->page(0))[3], QString("Bowie|Low|Rock|LP"));

        auto selected =
            run(file, settings("Zembo1.rpt", {"+{Main.Artist}", "", ""}, "View by Artist",
                               "{Main.Artist} >= 'O''' AND ({Main.Artist} <= 'O''z' "
                               "OR {Main.Artist} STARTSWITH 'O''')"));
        QCOMPARE(selected->recordCount(), 1);
        QCOMPARE(lines(selected->page(0))[3], QString("O'Connor|Zz|Folk|CD"));
        QCOMPARE(lines(selected->page(0))[4], QString("1 record"));
        // Another tool compacts the file under the report, renumbering the records: its pages
        // are not drawn with the records that now have its row ids.
        QCOMPARE(testing::stockTool(file.path(), "DELETE FROM Main WHERE rowid = 1; VACUUM;"),
                 QString());
        try {
            selected->page(0);
            QFAIL("a page of another numbering's records");
        } catch (const reports::ReportError& error) {
            QVERIFY2(QString::fromStdString(error.description).contains("Make the report again"),
                     error.description.c_str());
        }
    }

    void longTextsAreCutAtTheirColumn() {
        testing::TestCatalogue file(
            {{std::string(30, 'W'), std::string(30, 'M'), "Classical", "CD"}});
        auto report =
            run(file, settings("Zembo1.rpt", {"+{Main.Artist}", "", ""}, "View by Artist"));
        const Page page = report->page(0);
        const auto& artist = page.runs[6];  // after the title, the heading and four headers
        QVERIFY(artist.text.endsWith(QChar(0x2026)));
        QVERIFY(artist.text.size() < 30);
        for (std::size_t i = 0; i + 1 < page.runs.size(); ++i) {
            const auto& run = page.runs[i];
            const auto& next = page.runs[i + 1];
            if (run.box.top() == next.box.top() && !run.bold && next.box.left() > run.box.left()) {
                QVERIFY(run.box.right() < next.box.left());  // cells never reach the next
            }
        }
    }

    void groupedReportKeepsGroupsTogetherAndRunsThemOn() {
        std::vector<testing::TestCatalogue::Row> rows;
        for (int i = 0; i < 100; ++i) {  // one long group runs over pages
            rows.push_back({"Bach", QString("Cantata %1").arg(i, 3, 10, QChar('0')).toStdString(),
                            "Class", "CD"});
        }
        rows.push_back({"ABBA", "Arrival", "Pop", "CD"});
        rows.push_back({"ABBA", "Voulez-Vous", "Pop", "LP"});
        rows.push_back({nullptr, "Unknown", "Pop", "LP"});
        testing::TestCatalogue file(rows);
        auto report = run(file, settings("Zembo2.rpt", {"+{Main.Title}", "", ""}, "View by Title"));
        QStringList all;
        for (int p = 0; p < report->pageCount(); ++p) {
            const QStringList text = lines(report->page(p));
            QCOMPARE(text[2], QString("Title|Category|Format"));  // headers on every page
            all << text.mid(3, text.size() - 4);
            if (p > 0) {
                QCOMPARE(text[3], QString("Bach (continued)"));  // the group runs on
            }
        }
        QVERIFY(report->pageCount() >= 2);
        QCOMPARE(all[0], QString(""));  // the records with no artist: their heading is empty
        QCOMPARE(all[1], QString("Unknown|Pop|LP"));
        QCOMPARE(all[2], QString("1 record"));
        QCOMPARE(all[3], QString("ABBA"));
        QCOMPARE(all[4], QString("Arrival|Pop|CD"));
        QVERIFY(all.contains("100 records"));
        QCOMPARE(all.last(), QString("Total: 103 records"));
        QVERIFY(all.indexOf("Cantata 000|Class|CD") > all.indexOf("Bach"));
    }

    // Whatever a group's size against the page, its count is printed under its last line,
    // never alone under a heading; one record is "1 record".
    void aGroupsCountStaysWithItsLastLine() {
        auto groupOf = [](int records) {
            std::vector<testing::TestCatalogue::Row> rows{{"ABBA", "Arrival", "Pop", "CD"}};
            for (int i = 0; i < records; ++i) {
                rows.push_back({"Bach",
                                QString("Cantata %1").arg(i, 3, 10, QChar('0')).toStdString(),
                                "Class", "CD"});
            }
            return rows;
        };
        const auto settingsByArtist = settings("Zembo2.rpt", {"+{Main.Artist}", "", ""}, "View");
        testing::TestCatalogue probe(groupOf(200));
        const int perPage =
            static_cast<int>(lines(run(probe, settingsByArtist)->page(1)).size()) - 4;
        for (int records = perPage - 8; records <= perPage + 2; ++records) {
            testing::TestCatalogue file(groupOf(records));
            auto report = run(file, settingsByArtist);
            QStringList all;
            for (int p = 0; p < report->pageCount(); ++p) {
                const QStringList text = lines(report->page(p));
                const int count =
                    static_cast<int>(text.indexOf(QString::number(records) + " records"));
                if (count >= 0) {
                    QVERIFY2(text[count - 1].startsWith("Cantata"), qPrintable(text.join('\n')));
                }
                all << text.mid(3, text.size() - 4);
            }
            QCOMPARE(all.filter("Cantata").size(), records);
            QCOMPARE(all.mid(0, 3), (QStringList{"ABBA", "Arrival|Pop|CD", "1 record"}));
        }
    }

    // Groups and order as the views and counts have them, in every script.
    void namesInEveryScriptGroupAsTheCountsDo() {
        testing::TestCatalogue file({{"Zappa", "Hot Rats", "Rock", "LP"},
                                     {"abba", "Waterloo", "Pop", "LP"},
                                     {"Édith Piaf", "La Vie en rose", "Pop", "LP"},
                                     {"ABBA", "Arrival", "Pop", "CD"},
                                     {"Мумий Тролль", "Морская", "Rock", "LP"},
                                     {"Bjork", "Debut", "Pop", "CD"},
                                     {"Björk", "Post", "Pop", "CD"}});
        auto report =
            run(file, settings("Zembo2.rpt", {"+{Main.Title}", "", ""}, "View by Artist"));
        const QStringList text = lines(report->page(0));
        QCOMPARE(text.mid(3, text.size() - 4),
                 (QStringList{
                     "abba",         "Waterloo|Pop|LP", "Arrival|Pop|CD",   "2 records",
                     "Bjork",        "Debut|Pop|CD",    "1 record",         "Björk",
                     "Post|Pop|CD",  "1 record",        "Édith Piaf",       "La Vie en rose|Pop|LP",
                     "1 record",     "Zappa",           "Hot Rats|Rock|LP", "1 record",
                     "Мумий Тролль", "Морская|Rock|LP", "1 record",         "Total: 7 records"}));
    }

    void aRunThatCannotBeDoneSaysWhy_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("said");
        QTest::newRow("no layout file") << ""
                                        << "+{Main.Artist}"
                                        << "" << reports::err::FileNotFound << "Zembo9.rpt";
        QTest::newRow("unknown setting") << "report full\ncolumns Artist 1\nshade grey\n"
                                         << "+{Main.Artist}"
                                         << "" << reports::err::BadLayout << "line 3";
        QTest::newRow("unknown field") << "report full\ncolumns Rating 10\n"
                                       << "+{Main.Artist}"
                                       << "" << reports::err::BadLayout << "line 2";
        QTest::newRow("bad sort field") << "report full\ncolumns Artist 1\n"
                                        << "+{Main.Rating}"
                                        << "" << reports::err::FormulaError << "sort field";
        QTest::newRow("bad selection")
            << "report full\ncolumns Artist 1\n"
            << "+{Main.Artist}"
            << "{Main.Artist} = ABBA" << reports::err::FormulaError << "formula";
    }
    void aRunThatCannotBeDoneSaysWhy() {
        QFETCH(QString, layout);
        QFETCH(QString, sort);
        QFETCH(QString, selection);
        QFETCH(long, number);
        QFETCH(QString, said);
        testing::TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"}});
        ReportSettings s = settings("Zembo1.rpt", {sort, "", ""}, "View by Artist", selection);
        s.reportFile = file.directory() + "/Zembo9.rpt";
        if (!layout.isEmpty()) {
            QFile out(s.reportFile);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(layout.toUtf8());
        }
        try {
            run(file, s);
            QFAIL("the run went through");
        } catch (const reports::ReportError& error) {
            QCOMPARE(error.number, number);
            QVERIFY2(QString::fromStdString(error.description).contains(said),
                     error.description.c_str());
        }
    }

    void aPdfIsWrittenPageByPageAndCanBeStopped() {
        testing::TestCatalogue file(manyRecords());
        auto report =
            run(file, settings("Zembo2.rpt", {"+{Main.Artist}", "", ""}, "View by Artist"));
        const QString pdf = file.directory() + "/report.pdf";
        int pages = 0;
        QVERIFY(reports::writePdf(*report, pdf, [&](int page) {
            pages = page;
            return true;
        }));
        QCOMPARE(pages, report->pageCount());
        QFile out(pdf);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.read(5) == "%PDF-");
        out.seek(0);
        const QByteArray written = out.readAll();
        out.close();
        // Stopped: the file saved before stays as it was, and nothing else is left.
        QVERIFY(!reports::writePdf(*report, pdf, [](int page) { return page < 2; }));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), written);
        QCOMPARE(QDir(file.directory()).entryList(QDir::Files),
                 QStringList({"report.pdf", "Zembo.mdb"}));
    }

    // The records' texts are in the PDF as text, an emoji drawn from an outline font (the
    // colour emoji font's pictures would be left out), and the document is named after the
    // report. (The PDF engine maps only characters below U+10000 back to text: the emoji is
    // drawn but not found by a search.)

    // Every character can be found in the PDF: those beyond U+FFFF, ideographs whose glyph a
    // radical shares, Arabic letters in their joined forms, letters drawn as one ligature.
    void aPdfHoldsTheTextsAndDrawsEmojiFromOutlines() {
        const std::vector<const char*> names{
            "Random Access Memories 🎵",  // beyond U+FFFF
            "Шостакович",
            "坂本",
            "未来派野郎",
            "音楽 龍 一",       // glyphs shared with radicals
            "فيروز",            // joined forms
            "𠀋𡈽 ❤️",  // an emoji with its variation selector
            "Officium",         // a ligature
            "Family 👨‍👩‍👧‍👦, 🏳️‍🌈",  // joined emoji, drawn apart
            "สุนทราภรณ์",  // a mark after its letter, whose glyph
            "แสงไทย"};   // stands for the letter alone here
        testing::TestCatalogue file({{"Daft Punk", names[0], "Pop", "CD"},
                                     {names[1], names[7], "Class", "LP"},
                                     {names[2], names[3], "Pop", "LP"},
                                     {names[5], names[4], "Pop", "LP"},
                                     {"X", names[6], "Pop", "LP"},
                                     {names[9], names[8], "Pop", "LP"},
                                     {names[10], "Y", "Pop", "LP"}});
        auto report = run(file, settings("Zembo1.rpt", {"+{Main.Artist}", "", ""}, "View"));
        const QString pdf = file.directory() + "/report.pdf";
        QVERIFY(reports::writePdf(*report, pdf, {}));
        const auto tool = [&](const QString& program, const QStringList& arguments) {
            QProcess process;
            process.start(program, arguments);
            [&] { QVERIFY2(process.waitForFinished(), qPrintable(program)); }();
            return QString::fromUtf8(process.readAllStandardOutput());
        };
        const QString text = tool("pdftotext", {"-enc", "UTF-8", pdf, "-"});
        for (const QString expected : names) {
            QVERIFY2(text.contains(expected), qPrintable(expected + " not in:\n" + text));
        }
        QVERIFY(tool("pdffonts", {pdf}).contains("Symbola"));
        const QString info = tool("pdfinfo", {pdf});
        QVERIFY2(info.contains(QRegularExpression("Title: +Full Report\n")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Creator: +Quorvane\n")), qPrintable(info));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
