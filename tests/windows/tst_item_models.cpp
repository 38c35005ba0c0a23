// The grids' and the lists' models as Qt's model checker and a screen reader see them: each
// model answers only for the cells it has, through fills, sorts, filters and list edits, and
// no accessibility event names a cell that is not there.
#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"
#include "windows/counts/FrmCounts.h"
#include "windows/lookup/LookupEditor.h"

using platform::Answer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmCounts;

namespace {

// What Qt and its accessibility warn of while a test runs.
QStringList warned;
QtMessageHandler previousHandler = nullptr;

void noteWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString where = context.category ? QString(context.category) : QString();
    if (type == QtWarningMsg &&
        (message.contains("QAccessible") || message.contains("QModelIndex") ||
         where.startsWith("qt.core.qabstractitemmodel") || where.startsWith("qt.accessibility"))) {
        warned << message;
    }
    previousHandler(type, context, message);
}

// As a screen reader's bridge does: every event's cell looked up when it comes, and read.
void readLikeAScreenReader(QAccessibleEvent* event) {
    if (QAccessibleInterface* target = event->accessibleInterface()) {
        target->text(QAccessible::Name);
        target->state();
    }
}

// Every cell of a window's accessible tree read, as a screen reader walking it would.
void walk(QAccessibleInterface* node, int depth = 0) {
    if (!node || depth > 12) {
        return;
    }
    node->text(QAccessible::Name);
    for (int i = 0; i < node->childCount(); ++i) {
        walk(node->child(i), depth + 1);
    }
}

std::vector<testing::TestCatalogue::Row> records() {
    std::vector<testing::TestCatalogue::Row> rows;
    for (int i = 0; i < 30; ++i) {
        rows.push_back({"Artist " + std::to_string(i % 7), "Title " + std::to_string(i),
                        i % 2 ? "Rock" : "Jazz", i % 3 ? "CD" : "LP"});
    }
    return rows;
}

}  // namespace

class TestItemModels : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        warned.clear();
        previousHandler = qInstallMessageHandler(noteWarning);
        QAccessible::installUpdateHandler(readLikeAScreenReader);
        QAccessible::setActive(true);
    }
    void cleanup() {
        QAccessible::setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        qInstallMessageHandler(previousHandler);
        QVERIFY2(warned.isEmpty(), qPrintable(warned.join('\n')));
    }

    // The counts grid through every tally, sorts by both columns and moves of the current
    // cell to the last row and back.
    void theCountsGrid() {
        MainWindowFixture f(records());
        auto& w = shown(f);
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QAbstractItemModelTester tester(
                    c.Grid1->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
                for (QPushButton* tally : {c.cmdTitle, c.cmdCategory, c.cmdFormat, c.cmdArtist}) {
                    click(tally);
                    c.Grid1->setFocus();
                    QTest::keyClick(c.Grid1, Qt::Key_End, Qt::ControlModifier);
                    QTest::keyClick(c.Grid1, Qt::Key_Space);
                    QTest::keyClick(c.Grid1, Qt::Key_Right);
                    QTest::keyClick(c.Grid1, Qt::Key_Space);
                    QTest::keyClick(c.Grid1, Qt::Key_Home, Qt::ControlModifier);
                    walk(QAccessible::queryAccessibleInterface(&c));
                }
            });
    }

    // The browse grid filled, narrowed by the find line to a few rows and to none, sorted, and
    // filled again.
    void theBrowseGrid() {
        MainWindowFixture f(records());
        auto& w = shown(f);
        click(w.CmdBrowse);
        windows::FrmBrowse& browse = *w.window().frmBrowse();
        QAbstractItemModelTester tester(browse.Grid1->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        browse.Grid1->setFocus();
        QTest::keyClick(browse.Grid1, Qt::Key_End, Qt::ControlModifier);
        for (const char* words : {"rock", "title 2", "nothing like it", ""}) {
            browse.txtFind->setFocus();
            browse.txtFind->clear();
            QTest::keyClicks(browse.txtFind, words);
            QTRY_VERIFY(browse.lblFound->text().contains(" of 30 ") || !*words);
            browse.Grid1->setFocus();
            QTest::keyClick(browse.Grid1, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(browse.Grid1, Qt::Key_Space);  // sorts by the current column
            walk(QAccessible::queryAccessibleInterface(&browse));
        }
        click(w.CmdNext);
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);  // the grid filled again
        walk(QAccessible::queryAccessibleInterface(&browse));
    }

    // The lists' drop-downs as names are added and deleted in an editor.
    void theLookupLists() {
        MainWindowFixture f(records());
        auto& w = shown(f);
        QAbstractItemModelTester tester(w.CmbCategory->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        testing::whileModal<windows::LookupEditor>(
            [&] { click(w.cmdCategory); },
            [&](windows::LookupEditor& e) {
                click(e.CmdAdd);
                QTest::keyClicks(e.dropDown, "Ska");
                click(e.CmdAdd);
                f.desktop.answers = {Answer::Yes};
                click(e.CmdDelete);
                walk(QAccessible::queryAccessibleInterface(&e));
            });
        QCOMPARE(w.CmbCategory->findText("Ska"), -1);
        walk(QAccessible::queryAccessibleInterface(&w.window()));
    }
};

QTEST_MAIN(TestItemModels)
#include "tst_item_models.moc"
