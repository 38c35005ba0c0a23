// The windows on an installed program's files: reports, help and tune found beside the
// catalogue first, then among the installed files; a catalogue of another name.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "windows/about/FrmAbout.h"
#include "windows/report/FrmReportPreview.h"

using platform::Answer;
using testing::MainWindowFixture;
using testing::shown;

namespace {

void put(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

template <typename Window>
void closeAll() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(top); window && window->isVisible()) {
            window->close();
        }
    }
}

// The file the next F1 in the title box asks the help viewer for.
QString helpFileAsked(MainWindowFixture& f) {
    f.desktop.helpRequests.clear();
    f.page->txtTitle->setFocus();
    QTest::keyClick(f.page->txtTitle, Qt::Key_F1);
    return f.desktop.helpRequests.size() == 1 ? f.desktop.helpRequests[0].file : QString();
}

}  // namespace

class TestInstalledFiles : public QObject {
    Q_OBJECT

  private slots:
    void filesBesideTheCatalogueComeBeforeTheInstalledOnes() {
        MainWindowFixture f(testing::threeRecords());
        QTemporaryDir share;
        for (const char* layout : {"Zembo1.rpt", "Zembo2.rpt"}) {
            QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DATA_DIR "/") + layout,
                                share.filePath(layout)));
        }
        put(share.filePath("Quorvane.hlp"));
        put(share.filePath("VodiZav.Mid"));
        f.state.ResourceDirs = {share.path()};
        auto& w = shown(f);
        const QString beside = f.state.session.AppDir;

        QCOMPARE(helpFileAsked(f), share.filePath("Quorvane.hlp"));
        put(beside + "Quorvane.hlp");
        QCOMPARE(helpFileAsked(f), beside + "Quorvane.hlp");

        // A layout found only among the installed files runs without a missing-file message.
        w.mnuReportFullReport->trigger();
        QCOMPARE(w.reportSettings().reportFile, share.filePath("Zembo1.rpt"));
        QTRY_VERIFY(f.desktop.messages.empty());
        closeAll<windows::FrmReportPreview>();
        QVERIFY(QFile::copy(share.filePath("Zembo2.rpt"), beside + "Zembo2.rpt"));
        w.mnuReportGroupReport->trigger();
        QCOMPARE(w.reportSettings().reportFile, beside + "Zembo2.rpt");
        closeAll<windows::FrmReportPreview>();

        w.mnuHelpAbout->trigger();
        QCOMPARE(f.desktop.tunesPlayed, QStringList{share.filePath("VodiZav.Mid")});
        closeAll<windows::FrmAbout>();
        QVERIFY(f.desktop.messages.empty());
    }

    // A catalogue named on the command line is opened and repaired under its own name, its
    // backup beside it; no Zembo.mdb is made. A backup opened as the catalogue is not
    // copied onto itself.
    void aCatalogueOfAnotherNameIsRepairedBesideItself_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("jazz.db") << "jazz.db" << QStringList{"jazz.BAK", "jazz.db"};
        QTest::newRow("a backup") << "Zembo.BAK" << QStringList{"Zembo.BAK", "Zembo.BAK.BAK"};
    }
    void aCatalogueOfAnotherNameIsRepairedBesideItself() {
        QFETCH(QString, name);
        QFETCH(QStringList, after);
        MainWindowFixture f(testing::threeRecords());
        QDir dir(f.catalogue.directory());
        QVERIFY(dir.rename("Zembo.mdb", name));
        f.state.session.CatalogueName = name;
        auto& w = shown(f);
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
        QVERIFY(f.desktop.messages.empty());

        f.desktop.answers = {Answer::Yes, Answer::Ok};
        w.mnuRepairDatabase->trigger();
        QCOMPARE(f.desktop.messages.back().text,
                 QString("Repaired and Compacted Quorvane Successfully."));
        QCOMPARE(dir.entryList(QDir::Files), after);
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
        QCOMPARE(w.lblMsgBar3->text(), QString("3 Artists "));
    }
};

QTEST_MAIN(TestInstalledFiles)
#include "tst_installed_files.moc"
