// The help document and its viewer: a topic per window, contents, back and forward, search.
#include <QAction>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

#include "platform/HelpViewer.h"

namespace {

const QString HelpFile = QStringLiteral(QUORVANE_DATA_DIR "/Quorvane.hlp");

// The heading at the top of the browser's view.
QString topHeading(QTextBrowser* browser) {
    QTextCursor cursor = browser->cursorForPosition(QPoint(4, 4));
    for (QTextBlock block = cursor.block(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0) {
            return block.text();
        }
    }
    return {};
}

}  // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT

  private slots:
    void eachWindowHasItsTopic_data() {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("heading");
        QTest::newRow("main window") << 10 << "The catalogue window";
        QTest::newRow("report title") << 210 << "The report title";
        QTest::newRow("search") << 320 << "Searching";
        QTest::newRow("browse") << 400 << "Browsing the catalogue in a list";
        QTest::newRow("counts") << 410 << "Counts";
        QTest::newRow("lists") << 420 << "Artist, category and format lists";
        QTest::newRow("preview") << 430 << "The report on the screen";
        QTest::newRow("import") << 440 << "Importing and exporting recordings (CSV files, music folders)";
    }
    void eachWindowHasItsTopic() {
        QFETCH(int, context);
        QFETCH(QString, heading);
        auto* viewer = new platform::HelpViewer(nullptr);
        QVERIFY(viewer->showTopic(HelpFile, context));
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        QTRY_COMPARE(topHeading(viewer->browser()), heading);
        viewer->close();
    }

    void contentsBackForwardAndSearch() {
        auto* viewer = new platform::HelpViewer(nullptr);
        QVERIFY(viewer->showTopic(HelpFile, 10));
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        QVERIFY(viewer->showTopic(HelpFile, 320));
        QTRY_COMPARE(topHeading(viewer->browser()), QString("Searching"));
        auto* back = viewer->findChild<QAction*>("HelpBack");
        auto* forward = viewer->findChild<QAction*>("HelpForward");
        QVERIFY(back->isEnabled() && !forward->isEnabled());
        back->trigger();
        QTRY_COMPARE(topHeading(viewer->browser()), QString("The catalogue window"));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QTRY_COMPARE(topHeading(viewer->browser()), QString("Searching"));
        viewer->findChild<QAction*>("HelpContents")->trigger();
        QTRY_COMPARE(topHeading(viewer->browser()), QString("Quorvane Help"));

        // Ctrl+F goes to the search box; Enter finds the next place, and goes round.
        QTest::keyClick(viewer->browser(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(viewer->focusWidget(), viewer->searchBox());
        QTest::keyClicks(viewer->searchBox(), "Reset Srch");
        QTest::keyClick(viewer->searchBox(), Qt::Key_Return);
        QCOMPARE(viewer->browser()->textCursor().selectedText(), QString("Reset Srch"));
        const int first = viewer->browser()->textCursor().position();
        QTest::keyClick(viewer->searchBox(), Qt::Key_Return);  // the only place: round again
        QCOMPARE(viewer->browser()->textCursor().position(), first);
        viewer->searchBox()->setText("no such words anywhere");
        QVERIFY(!viewer->findText(false));
        viewer->close();
    }

    void everyLinkOfTheContentsLeadsSomewhere() {
        QFile file(HelpFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        const QRegularExpression link("href=\"#([a-z0-9]+)\"");
        int links = 0;
        for (const auto& match : link.globalMatch(html)) {
            ++links;
            QVERIFY2(html.contains("name=\"" + match.captured(1) + "\""),
                     qPrintable(match.captured(1)));
        }
        QVERIFY(links >= 12);
    }

    void missingDocumentIsSaid() {
        platform::HelpViewer viewer(nullptr);
        QVERIFY(!viewer.showTopic("/nonexistent/Quorvane.hlp", 10));
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_help_viewer.moc"
