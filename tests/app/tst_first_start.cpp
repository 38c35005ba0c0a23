// An installed program's first start: the user's catalogue copied from the shipped empty one.
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "app/start/FirstStart.h"
#include "catalogue/Catalogue.h"
#include "files/ReplacingFile.h"
#include "sqlite/Connection.h"
#include "support/ScriptedDesktop.h"
#include "support/TestCatalogue.h"

using app::FirstStart;

namespace {

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 count(const QString& path, const std::string& table) {
    db::Connection connection;
    connection.open(path.toStdString());
    db::Statement statement(connection, "SELECT count(*) FROM " + table);
    statement.step();
    const db::Value value = statement.column(0);
    return value.integer() ? *value.integer() : -1;
}

// Every name in a folder, to show that nothing was left behind.
QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Files may grow no larger than `limit` bytes until the end of scope (a full disk, for
// anyone, the superuser included).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }

  private:
    rlimit saved_{};
    void (*signal_)(int);
};

}  // namespace

class TestFirstStart : public QObject {
    Q_OBJECT

    QTemporaryDir shipped_;
    QString template_;

  private slots:
    void initTestCase() {
        template_ = shipped_.filePath("Zembo-template.mdb");
        db::catalogue::makeCatalogue(template_.toStdString(), false);
    }

    void theFirstStartCopiesTheTemplateAndSaysWhere() {
        QTemporaryDir home;
        const QString folder = home.filePath(".local/share/quorvane");
        const QString catalogue = folder + "/Zembo.mdb";
        const FirstStart result = app::provideCatalogue(template_, catalogue);
        QCOMPARE(result.outcome, FirstStart::Copied);
        QCOMPARE(bytes(catalogue), bytes(template_));
        QCOMPARE(namesIn(folder), QStringList{"Zembo.mdb"});
        QVERIFY(count(catalogue, "Format") > 0);  // a working catalogue, not just bytes

        testing::ScriptedDesktop desktop;
        desktop.answers = {platform::Answer::Ok};
        QVERIFY(app::reportFirstStart(desktop, result, catalogue));
        QCOMPARE(desktop.messages.size(), std::size_t(1));
        QVERIFY(desktop.messages[0].text.contains(catalogue));
        QCOMPARE(desktop.messages[0].icon, platform::Icon::Information);

        // The next start finds it and says nothing (an unscripted box would fail here).
        db::Connection connection;  // a record of the user's own, which must survive
        connection.open(catalogue.toStdString());
        connection.execute("INSERT INTO Main (Artist, Title) VALUES ('ABBA', 'Arrival')");
        connection.close();
        const QByteArray mine = bytes(catalogue);
        const FirstStart again = app::provideCatalogue(template_, catalogue);
        QCOMPARE(again.outcome, FirstStart::AlreadyThere);
        QVERIFY(app::reportFirstStart(desktop, again, catalogue));
        QCOMPARE(desktop.messages.size(), std::size_t(1));
        QCOMPARE(bytes(catalogue), mine);
        QCOMPARE(count(catalogue, "Main"), 1);
    }

    void aCatalogueThatAppearsMeanwhileIsNeverReplaced() {
        QTemporaryDir folder;
        const QString catalogue = folder.filePath("Zembo.mdb");
        QFile theirs(catalogue);
        QVERIFY(theirs.open(QIODevice::WriteOnly) && theirs.write("theirs") == 6);
        theirs.close();
        using Placing = files::ReplacingFile::Placing;
        QVERIFY(!files::copyFile(template_.toStdString(), catalogue.toStdString(),
                                 Placing::KeepExisting));
        QCOMPARE(bytes(catalogue), QByteArray("theirs"));
        QCOMPARE(namesIn(folder.path()), QStringList{"Zembo.mdb"});
        QVERIFY(QFile::remove(catalogue));
        QVERIFY(files::copyFile(template_.toStdString(), catalogue.toStdString(),
                                Placing::KeepExisting));
        QCOMPARE(bytes(catalogue), bytes(template_));
    }

    // A killed start's part-written copy goes when the folder is next written to.
    void aLeftoverOfAnInterruptedStartIsRemoved() {
        QTemporaryDir folder;
        QFile leftover(folder.filePath("Zembo.mdb.x1Y2z3.quorvane-part"));
        QVERIFY(leftover.open(QIODevice::WriteOnly) && leftover.write(QByteArray(200000, 'x')));
        leftover.close();
        const QString catalogue = folder.filePath("Zembo.mdb");
        QCOMPARE(app::provideCatalogue(template_, catalogue).outcome, FirstStart::Copied);
        QCOMPARE(bytes(catalogue), bytes(template_));
        QCOMPARE(namesIn(folder.path()), QStringList{"Zembo.mdb"});
    }

    // A repair or a delete-all killed half-way leaves its rebuilt copy and the engine's journal
    // beside the catalogue: the start removes them, unless a running program holds either file.
    // A file of that name beside no catalogue, or not written by the engine, is not ours.
    void aRebuiltCopyLeftByAKillGoesAtTheStart() {
        QTemporaryDir folder;
        const auto leave = [&](const QString& name, const QByteArray& content) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        };
        testing::TestCatalogue catalogue;
        for (const char* name : {"Jazz.mdb", "Jazz.BAK", "Notes.txt"}) {
            QVERIFY(QFile::copy(catalogue.path(), folder.filePath(name)));
        }
        QVERIFY(QFile::link(catalogue.path(), folder.filePath("Zembo.mdb")));  // a synced one
        leave("ZemboREBUILT.mdb", QByteArray(8192, '\0'));  // the first page is written last
        leave("ZemboREBUILT.mdb-journal", "journal");
        QVERIFY(QFile::copy(catalogue.path(), folder.filePath("JazzREBUILT.mdb")));
        QVERIFY(QFile::copy(catalogue.path(), folder.filePath("JazzREBUILT.BAK")));
        leave("NotesREBUILT.txt", "the user's own");
        QVERIFY(QFile::copy(catalogue.path(), folder.filePath("LoneREBUILT.mdb")));
        const QStringList ours{"Jazz.BAK",  "Jazz.mdb",         "LoneREBUILT.mdb",
                               "Notes.txt", "NotesREBUILT.txt", "Zembo.mdb"};

        // Another program's transaction on the catalogue: a repair may be running.
        QProcess holder;
        holder.start("sqlite3", {folder.filePath("Jazz.mdb")});
        QVERIFY(holder.waitForStarted());
        const QString held = folder.filePath("held");  // the tool's output waits in a buffer
        holder.write(("BEGIN IMMEDIATE;\n.shell touch '" + held + "'\n").toUtf8());
        QTRY_VERIFY(QFile::exists(held));
        QFile::remove(held);
        app::clearLeftovers(folder.path());
        QStringList withHeld = QStringList(ours) << "JazzREBUILT.mdb";
        withHeld.sort();
        QCOMPARE(namesIn(folder.path()), withHeld);
        holder.write("ROLLBACK;\n.quit\n");
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(5000));

        app::clearLeftovers(folder.path());
        QCOMPARE(namesIn(folder.path()), ours);
        QCOMPARE(count(folder.filePath("Jazz.mdb"), "Main"), 0);
    }

    // Each failure is said with the catalogue's name and why, the program does not go on,
    // and the folder holds no catalogue and no part of one.
    void aFailedCopyLeavesNothingAndIsSaid_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("disk full during the copy") << "full";
        QTest::newRow("no template") << "template";
        QTest::newRow("folder cannot be made") << "folder";
        QTest::newRow("folder not writable") << "unwritable";
    }
    void aFailedCopyLeavesNothingAndIsSaid() {
        QFETCH(QString, fault);
        QTemporaryDir home;
        QString folder = home.filePath("quorvane");
        QVERIFY(QDir().mkpath(folder));
        QString from = template_;
        FirstStart result{FirstStart::AlreadyThere, {}};
        if (fault == "full") {
            QVERIFY(QFile(template_).size() > 8192);
            FileSizeLimit limit(4096);
            result = app::provideCatalogue(from, folder + "/Zembo.mdb");
        } else if (fault == "template") {
            result = app::provideCatalogue(shipped_.filePath("gone.mdb"), folder + "/Zembo.mdb");
        } else if (fault == "folder") {
            QFile blocker(home.filePath("file"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            folder = home.filePath("file/quorvane");
            result = app::provideCatalogue(from, folder + "/Zembo.mdb");
        } else {
            testing::Unwritable locked(folder);
            if (!locked.took()) {
                QSKIP("this file system cannot make a folder unwritable here");
            }
            result = app::provideCatalogue(from, folder + "/Zembo.mdb");
        }
        QCOMPARE(result.outcome, FirstStart::Failed);
        QVERIFY(!result.why.isEmpty());
        QCOMPARE(namesIn(folder), QStringList{});

        testing::ScriptedDesktop desktop;
        desktop.answers = {platform::Answer::Ok};
        QVERIFY(!app::reportFirstStart(desktop, result, folder + "/Zembo.mdb"));
        QCOMPARE(desktop.messages.size(), std::size_t(1));
        QVERIFY(desktop.messages[0].text.contains(folder + "/Zembo.mdb"));
        QVERIFY(desktop.messages[0].text.contains(result.why));
        QCOMPARE(desktop.messages[0].icon, platform::Icon::Critical);
    }

    // The template the build ships: the options, the lookup lists and the report title of a
    // new catalogue, and no recordings.
    void theShippedTemplateHoldsNoRecordings() {
        const QString shipped = QStringLiteral(QUORVANE_TEMPLATE_FILE);
        QVERIFY(QFile::exists(shipped));
        QCOMPARE(count(shipped, "Main"), 0);
        QCOMPARE(count(shipped, "Options"), 3);
        QCOMPARE(count(shipped, "ReportTitle"), 1);
        QVERIFY(count(shipped, "Category") > 0);
        QVERIFY(count(shipped, "Format") > 0);
    }
};

QTEST_GUILESS_MAIN(TestFirstStart)
#include "tst_first_start.moc"
