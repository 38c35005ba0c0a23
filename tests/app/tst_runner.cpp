// The one runner of long work, without any window: a stop at every stage of a run, the step a
// work waits to see shown, nested runs holding the windows once, and a close asked meanwhile.
// A fault in the handshake between the work and the windows fails within seconds: the turns
// stop the test once a run has lasted too long, instead of hanging it.
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/runs/Runner.h"
#include "support/ScriptedDesktop.h"

using app::RunPlan;
using app::RunProgress;
using platform::Answer;

namespace {

// The windows as a run sees them, recording what it did to them.
struct RecordedWindows final : app::RunWindows {
    testing::ScriptedDesktop& desktop;
    int holds = 0, releases = 0, closes = 0;
    QString bar;
    std::atomic<int> share{-1};
    explicit RecordedWindows(testing::ScriptedDesktop& d) : desktop(d) {}
    void hold() override { ++holds; }
    void release() override { ++releases; }
    void showBar(const QString& caption) override { bar = caption; }
    void showShare(int percent) override { share = percent; }
    QString barCaption() const override { return bar; }
    void hideBar() override { bar.clear(); }
    bool userStops(const QString& question, const QString&) override {
        return desktop.messageBox(question, platform::Buttons::YesNo, platform::Icon::Question,
                                  {}) == Answer::Yes;
    }
    void closeAfterRuns() override { ++closes; }
};

struct Bench {
    testing::ScriptedDesktop desktop;
    RecordedWindows windows{desktop};
    app::ModeMachine modes;
    app::Runner runner{desktop, windows, modes};
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    // Every turn: the test's own act, then a bound on the whole run.
    void eachTurn(std::function<void()> act) {
        desktop.onEvents = [this, act = std::move(act)] {
            act();
            if (std::chrono::steady_clock::now() - started > std::chrono::seconds(5)) {
                qFatal("a run did not end within 5 s: its stop handshake hangs");
            }
        };
    }
};

const RunPlan Asked = RunPlan::asking("Working... %p%", "Stop it?");

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

class TestRunner : public QObject {
    Q_OBJECT

  private slots:
    // Esc at each stage of a run that asks before it stops, answered Yes or No: whether it is
    // asked, where the work hears it, and whether the run counts as stopped.
    void escAtEachStage_data() {
        QTest::addColumn<int>("escAt");  // the share reached when Esc comes; -1: before any
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("lastReport");  // the share the work had reached when it ended
        QTest::addColumn<bool>("stopped");
        QTest::newRow("before the first progress") << -1 << Answer::Yes << true << 0 << true;
        QTest::newRow("in the middle, stopped") << 50 << Answer::Yes << true << 60 << true;
        QTest::newRow("in the middle, not stopped") << 50 << Answer::No << true << 100 << false;
        QTest::newRow("after its last progress") << 100 << Answer::Yes << false << 100 << false;
    }
    void escAtEachStage() {
        QFETCH(int, escAt);
        QFETCH(Answer, answer);
        QFETCH(bool, asked);
        QFETCH(int, lastReport);
        QFETCH(bool, stopped);
        Bench b;
        std::atomic<int> reached{-1};
        std::atomic<bool> escaped{false}, questionShown{false};
        b.desktop.onMessage = [&](const auto&) { questionShown = true; };
        b.eachTurn([&] {
            // Pressed again and again once a stop is chosen (a close, every turn): asked once.
            if ((!escaped || answer == Answer::Yes) && reached.load() >= escAt) {
                escaped = true;
                b.runner.escape();
            }
        });
        b.desktop.answers = {answer};
        app::Runner::Run run(b.runner, Asked);
        const int ended = run.beside([&](RunProgress& progress) {
            for (int share = 0; share <= 100; share += 10) {
                const bool goOn = progress.report(share);
                reached = share;
                if (!goOn) {
                    return share;
                }
                // A long step: the windows hear Esc, and ask, before the next report.
                const auto heard = [&] { return escaped && (escAt == 100 || questionShown); };
                for (int waited = 0; share >= escAt && !heard() && waited < 500; waited += 5) {
                    sleepMs(5);
                }
                if (share == escAt) {
                    sleepMs(60);  // the step goes on after the answer: turns, and Esc, meanwhile
                }
            }
            sleepMs(60);  // the last part after 100 (the orders placed): Esc is not asked
            return 100;
        });
        QCOMPARE(ended, stopped ? lastReport : 100);
        QCOMPARE(run.stopped(), stopped);
        QCOMPARE(b.desktop.messages.size(), std::size_t(asked ? 1 : 0));
        if (asked) {
            QCOMPARE(b.desktop.messages[0].text, QString("Stop it?"));
        }
        QVERIFY(b.modes.mode() == app::Mode::Running);
    }

    // Esc once the work has ended, before the run ends: asked then; and once the run has
    // ended, nothing is asked or stopped. A run that cannot stop is never asked.
    void escAfterTheWork() {
        Bench b;
        b.eachTurn([] {});
        {
            app::Runner::Run run(b.runner, Asked);
            run.beside([](RunProgress& progress) { return progress.report(40); });
            b.runner.escape();
            b.desktop.answers = {Answer::Yes};
            QVERIFY(run.stopped());
        }
        b.runner.escape();  // nothing runs
        QVERIFY(b.runner.run(RunPlan::steady("Plain %p%"), [&](RunProgress& progress) {
            b.runner.escape();  // from the work's side too: a run that cannot stop goes on
            sleepMs(50);
            return progress.report(50) && progress.report(100);
        }));
        QCOMPARE(b.desktop.messages.size(), std::size_t(1));
        QCOMPARE(b.windows.holds, 2);
        QCOMPARE(b.windows.releases, 2);
        QVERIFY(b.modes.mode() == app::Mode::Browsing);
        QVERIFY(!b.desktop.busy);
        QVERIFY(b.windows.bar.isEmpty());
    }

    // A stop without a question ends the work at its next look; a work that throws gives the
    // windows back and its failure to the caller.
    void aStopAtOnceAndAFailure() {
        Bench b;
        b.eachTurn([&] { b.runner.escape(); });
        const int looks = b.runner.run(RunPlan::stoppedByEsc({}), [](RunProgress& progress) {
            int n = 0;
            while (!progress.stopping()) {
                ++n;
                sleepMs(2);
            }
            return n;
        });
        QVERIFY(looks > 0);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, b.runner.run(Asked, [](RunProgress&) -> int {
            throw std::runtime_error("disk gone");
        }));
        QVERIFY(!b.runner.running());
        QCOMPARE(b.windows.releases, 2);
        QVERIFY(b.desktop.messages.empty());
    }

    // A step the work waits on is shown before it goes on; a caption said by the work is
    // shown, and a run of unknown share says its caption only after a moment.
    void stepsAndCaptions() {
        Bench b;
        std::vector<int> seen;  // the share shown as each step returned
        std::atomic<bool> captionShown{false};
        b.eachTurn([&] {
            b.desktop.clock += 20;
            captionShown = captionShown || b.windows.bar == "Another program holds the file";
        });
        b.runner.run(RunPlan::steady("Repairing... %p%"), [&](RunProgress& progress) {
            for (int share : {5, 80, 85}) {
                progress.step(share);
                seen.push_back(b.windows.share.load());
            }
            progress.say("Another program holds the file");
            for (int waited = 0; !captionShown && waited < 1000; ++waited) {
                sleepMs(2);
            }
        });
        QCOMPARE(seen, (std::vector<int>{5, 80, 85}));
        QVERIFY(captionShown);
        QVERIFY(b.windows.bar.isEmpty());
        QStringList bars;
        b.eachTurn([&] {
            b.desktop.clock += 20;
            bars << b.windows.bar;
        });
        b.runner.run(RunPlan::unknownShare("Undo Import..."), [](RunProgress&) { sleepMs(500); });
        QVERIFY2(bars.size() > 15 && bars.first().isEmpty() && bars.last() == "Undo Import...",
                 qPrintable(bars.join('|')));
    }

    // Runs inside a run hold the windows once and give back the outer bar; a close asked for
    // during them closes once the outer has ended, unless the user chose not to stop.
    void nestedRunsAndACloseMeanwhile() {
        Bench b;
        b.eachTurn([] {});
        {
            app::Runner::Run outer(b.runner, Asked);
            outer.beside([](RunProgress& progress) { return progress.report(30); });
            QString innerBar;
            b.runner.run(RunPlan::steady("Inner %p%"), [&](RunProgress& progress) {
                progress.report(100);  // after the first turn
                innerBar = b.windows.bar;
            });
            QCOMPARE(innerBar, QString("Inner %p%"));
            QCOMPARE(b.windows.bar, Asked.caption);
            b.desktop.answers = {Answer::No};
            b.runner.closeRequested();  // declined: the window stays
            QVERIFY(!outer.stopped());
        }
        QCOMPARE(b.windows.closes, 0);
        {
            app::Runner::Run outer(b.runner, RunPlan::steady("Cannot stop %p%"));
            b.runner.run(Asked, [&](RunProgress&) { b.runner.closeRequested(); });
            QCOMPARE(b.windows.closes, 0);  // not before the outer run ends
        }
        QCOMPARE(b.windows.holds, 2);
        QCOMPARE(b.windows.closes, 1);
        QCOMPARE(b.desktop.messages.size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "tst_runner.moc"
