// The record selection formula: what it reads, what it refuses, and the records it selects.
#include <QtTest>

#include "catalogue/Catalogue.h"
#include "reports/Formula.h"
#include "reports/ReportError.h"
#include "sqlite/Connection.h"
#include "support/TestCatalogue.h"

using reports::parseSelection;

namespace {

// The artists of the records a formula selects, in artist order.
QStringList selected(testing::TestCatalogue& file, const std::string& formula) {
    const reports::Selection selection = parseSelection(formula);
    db::Connection cn;
    cn.open(file.path().toStdString());
    db::Statement query(cn, "SELECT Artist FROM Main" +
                                (selection.where.empty() ? "" : " WHERE " + selection.where) +
                                " ORDER BY Artist, rowid");
    query.bindAll(selection.params);
    QStringList artists;
    while (query.step()) {
        artists << QString::fromStdString(query.column(0).text().value_or("<null>"));
    }
    return artists;
}

}  // namespace

class TestFormula : public QObject {
    Q_OBJECT

  private slots:
    void formulasSelectTheirRecords_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("artists");
        QTest::newRow("empty: all") << "" << QStringList{"ABBA",   "Bob Dylan",     "DZ Deathrays",
                                                         "Eagles", "Guns N' Roses", "O'Connor"};
        QTest::newRow("the search's range")
            << "{Main.Artist} >= 'B' AND ({Main.Artist} <= 'Dz' OR {Main.Artist} STARTSWITH 'D')"
            << QStringList{"Bob Dylan", "DZ Deathrays"};
        QTest::newRow("a quote written twice")
            << "{Main.Artist} = 'O''Connor'" << QStringList{"O'Connor"};
        QTest::newRow("quotes at the bound") << "{Main.Artist} >= 'Guns N''' AND "
                                                "{Main.Artist} <= 'Guns N''z'"
                                             << QStringList{"Guns N' Roses"};
        QTest::newRow("nested as deep as it may be")
            << QString(19, '(') + QString("NOT ").repeated(21) + "{Main.Artist} <> 'ABBA'" +
                   QString(19, ')')
            << QStringList{"ABBA"};
        QTest::newRow("words in any case, NOT, <>")
            << "not {main.artist} <> 'abba' or {MAIN.CATEGORY} = 'Jazz'"
            << QStringList{"ABBA", "Eagles"};
        QTest::newRow("parentheses decide")
            << "({Main.Format} = 'LP' OR {Main.Format} = 'CD') AND {Main.Title} < 'C'"
            << QStringList{"ABBA", "DZ Deathrays"};
        QTest::newRow("wildcards are plain")
            << "{Main.Title} STARTSWITH '50%'" << QStringList{"O'Connor"};
        QTest::newRow("an injection is only a text")
            << "{Main.Artist} = 'x'' OR ''1''=''1'" << QStringList{};
    }
    void formulasSelectTheirRecords() {
        QFETCH(QString, formula);
        QFETCH(QStringList, artists);
        testing::TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"},
                                     {"Bob Dylan", "Desire", "Rock", "LP"},
                                     {"DZ Deathrays", "Bloody Lovely", "Rock", "CD"},
                                     {"Eagles", "Hotel California", "Jazz", "MC"},
                                     {"Guns N' Roses", "Appetite", "Rock", "MC"},
                                     {"O'Connor", "50% Off", "Folk", "MC"}});
        QCOMPARE(selected(file, formula.toStdString()), artists);
    }

    // The report in search mode prints exactly the records the search holds: the range's
    // formula compares names by their letters as the search does, accents and case aside.
    void theSearchesRangeAndItsFormulaHoldTheSameRecords_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("records");
        QTest::newRow("A to E") << "A"
                                << "E" << 8;
        QTest::newRow("e to e") << "e"
                                << "e" << 4;
        QTest::newRow("ed to ed") << "ed"
                                  << "ed" << 2;
        QTest::newRow("a quote in the bound") << "O'"
                                              << "O'C" << 1;
        QTest::newRow("Ö to z") << "Ö"
                                << "z" << 3;
        QTest::newRow("Greek") << "α"
                               << "ω" << 2;
        QTest::newRow("Cyrillic") << "м"
                                  << "м" << 1;
        QTest::newRow("empty to b") << ""
                                    << "b" << 4;
    }
    void theSearchesRangeAndItsFormulaHoldTheSameRecords() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, records);
        testing::TestCatalogue file;
        for (const char* artist :
             {"ABBA", "abba", "Åge", "Bach", "Édith Piaf", "edith", "Eagles", "O'Connor", "Öberg",
              "Zappa", "Αλκίνοος", "ωμέγα", "Мумий Тролль", "Émile"}) {
            file.insert({{artist, "x", "Pop", "CD"}});
        }
        db::Connection cn;
        cn.open(file.path().toStdString());
        db::Recordset search;
        search.open(cn, db::catalogue::mainRange("Artist", from.toStdString(), to.toStdString()));
        QStringList held;
        search.forEachRow("Artist", [&](const db::Statement& row) {
            held << QString::fromStdString(std::string(row.textColumn(0).value_or("")));
        });
        const QString formula = QString::fromStdString(
            reports::rangeSelection("Artist", from.toStdString(), to.toStdString()));
        QStringList printed = selected(file, formula.toStdString());
        held.sort();
        printed.sort();
        QCOMPARE(printed, held);
        QCOMPARE(held.size(), records);
    }

    void badFormulasAreRefusedSayingWhere_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("said");
        QTest::newRow("unknown field") << "{Main.Rating} = 'x'"
                                       << "is not a field";
        QTest::newRow("other table") << "{Artist.Artist} = 'x'"
                                     << "is not a field";
        QTest::newRow("no operator") << "{Main.Artist} 'x'"
                                     << "comparison";
        QTest::newRow("unclosed text") << "{Main.Artist} = 'x"
                                       << "not closed";
        QTest::newRow("number, not text") << "{Main.Artist} = 5"
                                          << "single quotes";
        QTest::newRow("open parenthesis") << "({Main.Artist} = 'x'"
                                          << "parenthesis";
        QTest::newRow("dangling AND") << "{Main.Artist} = 'x' AND"
                                      << "field";
        QTest::newRow("SQL after it") << "{Main.Artist} = 'x'; DROP TABLE Main"
                                      << "unexpected";
        QTest::newRow("a word glued on") << "{Main.Artist} = 'x' ANDNOT {Main.Title} = 'y'"
                                         << "unexpected";
        // Far deeper than any person writes: refused, not read until the stack runs out.
        QTest::newRow("200 000 parentheses")
            << QString(200000, '(') + "{Main.Artist} = 'x'" + QString(200000, ')')
            << "nested more than 40 deep";
        QTest::newRow("200 000 NOTs") << QString("NOT ").repeated(200000) + "{Main.Artist} = 'x'"
                                      << "nested more than 40 deep";
    }
    void badFormulasAreRefusedSayingWhere() {
        QFETCH(QString, formula);
        QFETCH(QString, said);
        try {
            parseSelection(formula.toStdString());
            QFAIL("a bad formula was read");
        } catch (const reports::ReportError& error) {
            QCOMPARE(error.number, reports::err::FormulaError);
            QVERIFY2(QString::fromStdString(error.description).contains(said),
                     error.description.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(TestFormula)
#include "tst_formula.moc"
