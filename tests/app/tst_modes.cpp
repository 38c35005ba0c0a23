// The main window's modes without a window: which moves between them are taken, and which
// commands each mode leaves to the user.
#include <QtTest>

#include "app/Modes.h"

using app::Command;
using app::Mode;

class TestModes : public QObject {
    Q_OBJECT

  private slots:
    // Every mode's commands, as the user meets them: the commands a mode takes away.
    void eachModeTakesAwayItsCommands_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QList<Command>>("takenAway");
        QTest::newRow("browsing") << Mode::Browsing << QList<Command>{};
        QTest::newRow("adding") << Mode::Adding
                                << QList<Command>{Command::Delete,      Command::Update,
                                                  Command::Move,        Command::Search,
                                                  Command::Browse,      Command::Bookmark,
                                                  Command::Undo,        Command::ChangeCatalogue,
                                                  Command::FileMenu,    Command::ListsMenu,
                                                  Command::ReportsMenu, Command::ViewsMenu,
                                                  Command::Counts,      Command::OptionsMenu};
        QTest::newRow("searching") << Mode::Searching
                                   << QList<Command>{Command::Add, Command::Delete,
                                                     Command::ChangeCatalogue, Command::ViewsMenu};
        QList<Command> every;
        for (int i = 0; i < app::CommandCount; ++i) {
            every << static_cast<Command>(i);
        }
        QTest::newRow("running") << Mode::Running << every;
    }
    void eachModeTakesAwayItsCommands() {
        QFETCH(Mode, mode);
        QFETCH(QList<Command>, takenAway);
        for (int i = 0; i < app::CommandCount; ++i) {
            const auto command = static_cast<Command>(i);
            QVERIFY2(app::commandAllowed(mode, command) != takenAway.contains(command),
                     qPrintable(QString("command %1").arg(i)));
        }
    }

    // Adding and searching are entered from browsing and left back to it; a move that does not
    // fit the mode changes nothing. Runs nest, and each change is told once.
    void movesBetweenModes() {
        app::ModeMachine modes;
        int told = 0;
        modes.setOnChange([&] { ++told; });
        QVERIFY(!modes.leaveAdding() && !modes.leaveSearching() && told == 0);
        QVERIFY(modes.enterAdding() && modes.adding() && modes.mode() == Mode::Adding);
        QVERIFY(!modes.enterSearching() && !modes.enterAdding() && modes.adding());
        QVERIFY(modes.leaveAdding() && modes.mode() == Mode::Browsing);
        QVERIFY(modes.enterSearching() && !modes.enterAdding() && modes.searching());
        QCOMPARE(told, 3);

        modes.beginRun();
        modes.beginRun();  // a compaction inside a delete-all
        QCOMPARE(modes.mode(), Mode::Running);
        QCOMPARE(modes.settled(), Mode::Searching);
        modes.endRun();
        QCOMPARE(modes.mode(), Mode::Running);
        modes.endRun();
        modes.endRun();  // one end too many changes nothing
        QCOMPARE(modes.mode(), Mode::Searching);
        QCOMPARE(told, 5);
        QVERIFY(modes.leaveSearching() && modes.mode() == Mode::Browsing);
    }
};

QTEST_GUILESS_MAIN(TestModes)
#include "tst_modes.moc"
