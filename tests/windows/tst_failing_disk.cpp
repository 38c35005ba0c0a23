// Delete-all and repair on a disk that starts failing at every write or sync in turn: the
// catalogue must stay whole and all-or-nothing, and success is never claimed after a failure.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QtTest>

#include "support/FailingDisk.h"
#include "support/MainWindowFixture.h"

using platform::Answer;
using testing::FailingDisk;
using testing::MainWindowFixture;
using testing::shown;

namespace {

constexpr int Records = 60;
constexpr int MostWrites = 400;  // a run on this catalogue takes far fewer

std::vector<testing::TestCatalogue::Row> records() {
    std::vector<testing::TestCatalogue::Row> rows;
    for (int i = 0; i < Records; ++i) {
        rows.push_back({QString("Artist %1").arg(i).toStdString(), "Title", "Rock", "CD"});
    }
    return rows;
}

// What one run on a failing disk left behind.
struct Outcome {
    bool diskFailed = false;
    QStringList said;
    QString status;
    int ended = 0;
    QStringList integrity;
    QString count;
};

// Runs a menu command with the disk failing from its `nth` write, answering Yes to every
// question; the disk is mended once a box is shown after it failed, as a user would free space.
template <typename Trigger>
Outcome runFailingAt(int nth, Trigger trigger) {
    MainWindowFixture f(records());
    auto& w = shown(f);
    f.desktop.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    Outcome outcome;
    f.desktop.onMessage = [&](const auto& message) {
        if (FailingDisk::failures() > 0) {
            outcome.diskFailed = true;
            FailingDisk::failAt(0);
        }
        outcome.said << message.text;
        f.desktop.answers.push_back(Answer::Ok);
    };
    FailingDisk::failAt(nth);
    trigger(w);
    outcome.diskFailed = outcome.diskFailed || FailingDisk::failures() > 0;
    FailingDisk::failAt(0);
    outcome.status = w.lblMsgBar1->text();
    outcome.ended = f.desktop.ended;
    f.window.reset();
    outcome.integrity = f.catalogue.column("PRAGMA integrity_check");
    outcome.count = f.catalogue.column("SELECT count(*) FROM Main").value(0);
    return outcome;
}

bool claimsSuccess(const Outcome& outcome) {
    return outcome.said.join('\n').contains("Successfully") || outcome.status == "Database empty" ||
           outcome.status == "Repair/Compact Successful";
}

}  // namespace

class TestFailingDisk : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { FailingDisk::install(); }

    void deleteAllIsAllOrNothingWhereverTheDiskFails() {
        int failedRuns = 0;
        for (int nth = 1; nth <= MostWrites; ++nth) {
            const Outcome run =
                runFailingAt(nth, [](testing::MainPage& w) { w.mnuFileDeleteAll->trigger(); });
            const QString where = QString("failing from write %1").arg(nth);
            QVERIFY2(run.integrity == QStringList{"ok"}, qPrintable(where));
            QVERIFY2(run.count == "0" || run.count == QString::number(Records), qPrintable(where));
            if (!run.diskFailed) {  // every write point has been walked
                QCOMPARE(run.count, QString("0"));
                QVERIFY(claimsSuccess(run));
                break;
            }
            ++failedRuns;
            QVERIFY2(!run.said.isEmpty(), qPrintable(where + ": failed without a word"));
            if (run.count != "0") {
                QVERIFY2(!claimsSuccess(run), qPrintable(where + ": success claimed"));
            }
        }
        QVERIFY(failedRuns > 3);
        QVERIFY(failedRuns < MostWrites);
    }

    void repairKeepsEveryRecordWhereverTheDiskFails() {
        int failedRuns = 0;
        for (int nth = 1; nth <= MostWrites; ++nth) {
            const Outcome run =
                runFailingAt(nth, [](testing::MainPage& w) { w.mnuRepairDatabase->trigger(); });
            const QString where = QString("failing from write %1").arg(nth);
            QVERIFY2(run.integrity == QStringList{"ok"}, qPrintable(where));
            QVERIFY2(run.count == QString::number(Records), qPrintable(where));
            if (!run.diskFailed) {
                QVERIFY(claimsSuccess(run));
                break;
            }
            ++failedRuns;
            QVERIFY2(!claimsSuccess(run), qPrintable(where + ": success claimed"));
            QVERIFY2(!run.said.isEmpty(), qPrintable(where + ": failed without a word"));
        }
        QVERIFY(failedRuns > 1);
        QVERIFY(failedRuns < MostWrites);
    }
};

QTEST_MAIN(TestFailingDisk)
#include "tst_failing_disk.moc"
