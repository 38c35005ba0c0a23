// The shared routines: cuts by character, tally text, messages, gradient.
#include <QLineEdit>
#include <QWidget>
#include <QtTest>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/looks/Fonts.h"
#include "app/looks/Gradient.h"
#include "app/text/Characters.h"
#include "support/ScriptedDesktop.h"

class TestShared : public QObject {
    Q_OBJECT

  private slots:
    // Only text that needs shaping is shaped: joined scripts, combining accents, emoji.
    void boxesShapeTheTextsThatNeedIt() {
        const std::vector<std::pair<QString, bool>> texts = {
            {"ABBA", false},           {"Björk", false},    {"Αλκίνοος", false},
            {"Мумий Тролль", false},   {"坂本龍一", false}, {"방탄소년단", false},
            {"فيروز", true},           {"שלום", true},      {"Ce\u0301line", true},
            {"Smile \U0001F600", true}};
        QLineEdit box;
        for (const auto& [text, shaped] : texts) {
            QCOMPARE(app::needsShaping(text), shaped);
            app::shapeAsNeeded(&box, text);
            QCOMPARE(box.font().styleStrategy() == QFont::PreferNoShaping, !shaped);
        }
    }

    void cutsFallBetweenCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
        const QString acute = QString::fromUtf8("e\xCC\x81");         // e and a combining mark
        QTest::newRow("short text") << "Abba" << 30 << "Abba";
        QTest::newRow("plain cut") << "Progressive Rock" << 5 << "Progr";
        QTest::newRow("emoji counts as one") << "ab" + smile + "cd" << 3 << "ab" + smile;
        QTest::newRow("emoji whole at the end")
            << QString(29, 'x') + smile + "y" << 30 << QString(29, 'x') + smile;
        QTest::newRow("mark stays with its letter") << "Caf" + acute + "s" << 4 << "Caf";
        QTest::newRow("letter and mark fit") << "Caf" + acute + "s" << 5 << "Caf" + acute;
        QTest::newRow("non-Latin") << QString::fromUtf8("\xE6\x9D\xB1\xE4\xBA\xAC") << 1
                                   << QString::fromUtf8("\xE6\x9D\xB1");
    }
    void cutsFallBetweenCharacters() {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, expected);
        const QString cut = app::leftCharacters(text, count);
        QCOMPARE(cut, expected);
        QVERIFY(app::characterCount(cut) <= count);
        QCOMPARE(cut.toUtf8(), expected.toUtf8());  // no half character turns into '?'
    }

    // Only a name with right-to-left letters is set apart; others stay as typed.
    void rightToLeftNamesAreIsolated() {
        const QString first = QString(QChar(0x200E)) + QChar(0x2068), last(QChar(0x2069));
        for (const auto& [name, setApart] : std::vector<std::pair<QString, bool>>{
                 {"Queen", false},
                 {"", false},
                 {"Шостакович 1906", false},
                 {"坂本 龍一", false},
                 {"فيروز", true},
                 {"עוזי חיטמן", true},
                 {"Fairuz (فيروز)", true},
             }) {
            const QString shown = app::isolated(name);
            QCOMPARE(shown, setApart ? first + name + last : name);
        }
    }

    void helpIsAskedForByTopicAndItsFailureSaid() {
        testing::ScriptedDesktop desktop;
        app::AppState state(desktop);
        state.session.AppDir = "/opt/quorvane/";
        app::DisplayHelpOnHelp(state, nullptr, 9997);
        app::DisplayHelpOnHelp(state, nullptr, 9998);  // no help at all
        app::DisplayHelpOnHelp(state, nullptr, 32000);
        QCOMPARE(desktop.helpRequests.size(), std::size_t(1));
        QCOMPARE(desktop.helpRequests[0].file, QString("/opt/quorvane/Quorvane.hlp"));
        QCOMPARE(desktop.helpRequests[0].context, 9997);
        QVERIFY(desktop.messages.empty());

        desktop.helpFailure = platform::HelpFailure{53, "File not found: Quorvane.hlp"};
        desktop.answers = {platform::Answer::Ok};
        app::DisplayHelpOnHelp(state, nullptr, 10);
        QCOMPARE(desktop.messages.size(), std::size_t(1));
        QCOMPARE(desktop.messages[0].text,
                 QString("Error in modMain , DisplayHelpOnHelp().  53 File not found: "
                         "Quorvane.hlp"));
        QCOMPARE(desktop.messages[0].icon, platform::Icon::Critical);
        QCOMPARE(desktop.messages[0].title, platform::ApplicationTitle);
    }

    void selectAllTextSelectsTheWholeText() {
        QLineEdit box;
        app::SelectAllText(&box);
        QCOMPARE(box.cursorPosition(), 0);
        QVERIFY(box.selectedText().isEmpty());
        box.setText("Kind of Blue");
        box.setCursorPosition(4);
        app::SelectAllText(&box);
        QCOMPARE(box.selectionStart(), 0);
        QCOMPARE(box.selectedText(), QString("Kind of Blue"));
        QTest::keyClicks(&box, "Blue Train");  // typing replaces it
        QCOMPARE(box.text(), QString("Blue Train"));
    }

    void tallyWordFollowsTheCount() {
        QCOMPARE(app::TallyText(1), QString("1 Artist "));
        QCOMPARE(app::TallyText(0), QString("0 Artists "));
        QCOMPARE(app::TallyText(12), QString("12 Artists "));
        QCOMPARE(app::TallyText(1000000), QString("1000000 Artists "));  // past 16 bits
    }

    void versionIsMajorMinorRevision() {
        testing::ScriptedDesktop desktop;
        app::AppState state(desktop);
        app::SetAboutStrings(state);
        QVERIFY(QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(state.VersionText).hasMatch());
        QVERIFY(!state.NoticeText.isEmpty());
        QVERIFY(!state.CompanyText.isEmpty());
    }

    void procedureMessageNamesTheRoutine() {
        QCOMPARE(app::procedureMessage(db::DbError(3021, "No current record."), "GetOptions"),
                 QString("Error 3021 (No current record.) in procedure GetOptions of Form "
                         "'FrmMain'"));
    }

    void runStepsAsksTheTrapAfterEachFailure() {
        QStringList ran;
        const bool finished = app::runSteps(
            {[&] { ran << "1"; }, [&] { throw db::DbError(3021, "x"); }, [&] { ran << "3"; },
             [&] { throw db::DbError(5, "y"); }, [&] { ran << "5"; }},
            [](const db::DbError& e) {
                return e.number == 3021 ? app::Trap::Resume : app::Trap::Stop;
            });
        QVERIFY(!finished);
        QCOMPARE(ran, (QStringList{"1", "3"}));
    }

    void gradientRunsOneStepShortOfTheEnd() {
        const auto lines = app::gradientLines(100, {125, 200, 255}, {155, 25, 25});
        QCOMPARE(lines.size(), std::size_t(100));
        QCOMPARE(lines.front(), QColor(125, 200, 255));
        // The last line has had 99 of the 100 steps: 125+99*0.3, 200-99*1.75, 255-99*2.3.
        QCOMPARE(lines.back(), QColor(155, 27, 27));
        // Halves go to the even neighbour: 0.5 -> 0, 1.5 -> 2.
        const auto halves = app::gradientLines(4, {0, 0, 0}, {2, 2, 2});
        QCOMPARE(halves[1], QColor(0, 0, 0));
        QCOMPARE(halves[3], QColor(2, 2, 2));
    }

    void paintGradientFillsTheWindowAndKeepsIt() {
        QWidget window;
        window.resize(40, 100);
        app::PaintGradient(&window, 125, 200, 255, 155, 25, 25, 0);
        const QImage image = window.grab().toImage();
        QCOMPARE(QColor(image.pixel(5, 0)), QColor(125, 200, 255));
        QCOMPARE(QColor(image.pixel(30, 99)), QColor(155, 27, 27));
        QWidget sideways;
        sideways.resize(50, 10);
        app::PaintGradient(&sideways, 0, 0, 0, 250, 250, 250, -1);
        QCOMPARE(QColor(sideways.grab().toImage().pixel(49, 5)), QColor(245, 245, 245));
        QWidget untouched;
        untouched.resize(10, 10);
        app::PaintGradient(&untouched, 0, 0, 0, 250, 250, 250, 3);
        QVERIFY(!untouched.autoFillBackground());
    }
};

QTEST_MAIN(TestShared)
#include "tst_shared.moc"
