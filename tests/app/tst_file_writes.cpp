// Every file the program writes itself (a backup, an export, a PDF, the first catalogue, the
// repaired catalogue) is written beside its target, flushed, renamed over it and its folder
// flushed, in that order; a failure at any step is said and leaves the file that was there.
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/start/FirstStart.h"
#include "app/transfer/RecordExport.h"
#include "catalogue/Catalogue.h"
#include "files/ReplacingFile.h"
#include "repair/Maintenance.h"
#include "reports/Painting.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "sqlite/DbError.h"
#include "support/TestCatalogue.h"
#include "support/WatchedDisk.h"

using testing::WatchedDisk;

namespace {

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

const char* const Written =
    "create temp\nwrite temp\nflush temp\nclose temp\nrename temp target\nflush folder folder\n";

// One kind of file: where it goes, what was there before, and the writing of it, which
// answers what it said of a failure (nothing when it went through).
struct Kind {
    QString target;
    QByteArray before;
    std::function<QString()> write;
};

// The catalogue holds 200 records; each kind's target holds "old" bytes, but the first
// catalogue's (there is none before it).
class Scene {
  public:
    Scene() : catalogue_(testing::numberedRecords(200)) {}

    QString folder() const { return catalogue_.directory(); }
    QString path(const QString& name) const { return folder() + "/" + name; }

    Kind kind(const QString& name) {
        if (name == "repair") {
            return {catalogue_.path(), bytes(catalogue_.path()), [this] {
                        const auto result =
                            db::maintenance::rebuildCatalogue(folder().toStdString() + "/");
                        return QString::fromStdString(result.why);
                    }};
        }
        if (name == "first start") {
            return {path("New.mdb"), "(none)", [this] {
                        return app::provideCatalogue(catalogue_.path(), path("New.mdb")).why;
                    }};
        }
        const QString target = path(name == "backup" ? "Zembo.BAK" : "Out." + name);
        oldFile(target);
        std::function<QString()> write;
        if (name == "backup") {
            write = [this, target] {
                return said<db::DbError>([&] {
                    db::maintenance::copyFile(catalogue_.path().toStdString(),
                                              target.toStdString());
                });
            };
        } else if (name == "csv") {
            write = [this, target] {
                return said<app::ExportFailed>([&] { app::exportRecords(records(), target); });
            };
        } else {
            write = [this, target] {
                return said<reports::ReportError>([&] {
                    if (!reports::writePdf(report(), target, {})) {
                        throw reports::ReportError(0, "stopped");
                    }
                });
            };
        }
        return {target, bytes(target), write};
    }

    std::map<std::string, std::string> labels(const QString& target) const {
        return {{target.toStdString(), "target"},
                {folder().toStdString(), "folder"},
                {path("Zembo.BAK").toStdString(), "backup"},
                {path("ZemboREBUILT.mdb").toStdString(), "rebuilt"}};
    }

    // What the folder holds beyond the catalogue and the kinds' targets.
    QStringList strays() const {
        QStringList names = QDir(folder()).entryList(QDir::Files);
        names.removeIf([](const QString& name) {
            return name == "Zembo.mdb" || name == "Zembo.BAK" || name.startsWith("Out.") ||
                   name == "New.mdb";
        });
        return names;
    }

  private:
    static void oldFile(const QString& path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
    }
    template <typename Failure>
    static QString said(const std::function<void()>& action) {
        try {
            action();
        } catch (const Failure& failure) {
            if constexpr (std::is_same_v<Failure, app::ExportFailed>) {
                return failure.why;
            } else {
                return QString::fromStdString(failure.description);
            }
        }
        return {};
    }
    db::Recordset& records() {
        connection_.open(catalogue_.path().toStdString());
        records_.open(connection_, db::catalogue::mainTable(db::views()[0]));
        return records_;
    }
    reports::Report& report() {
        connection_.open(catalogue_.path().toStdString());
        reports::ReportSettings settings;
        settings.reportFile = QUORVANE_DATA_DIR "/Zembo1.rpt";
        settings.sortFields = {"+{Main.Artist}", "", ""};
        report_ = reports::makeReport(connection_, settings, QDate(2026, 12, 7));
        return *report_;
    }

    testing::TestCatalogue catalogue_;
    db::Connection connection_;
    db::Recordset records_;
    std::unique_ptr<reports::Report> report_;
};

}  // namespace

class TestFileWrites : public QObject {
    Q_OBJECT

  private slots:
    void eachFileIsWrittenBesideFlushedAndRenamed_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("swaps");  // the disk can swap two names in one step
        QTest::addColumn<QString>("trace");
        for (const char* kind : {"backup", "csv", "pdf"}) {
            QTest::newRow(kind) << kind << true << Written;
        }
        QTest::newRow("first start") << "first start" << true
                                     << "create temp\nwrite temp\nflush temp\nclose temp\n"
                                        "place temp target\nflush folder folder\n";
        // The compacted copy and the catalogue swap names, and the file as it was becomes the
        // backup; a disk that cannot swap gets the backup's copy and a rename.
        QTest::newRow("repair") << "repair" << true
                                << "remove rebuilt\nflush rebuilt\nflush folder folder\n"
                                   "exchange rebuilt target\nrename rebuilt backup\n"
                                   "flush folder folder\n";
        QTest::newRow("repair, no swapping")
            << "repair" << false
            << QString(
                   "remove rebuilt\nflush rebuilt\nflush folder folder\n"
                   "exchange rebuilt target REFUSED\n") +
                   QString(Written).replace("rename temp target", "rename temp backup") +
                   "rename rebuilt target\nflush folder folder\n";
    }
    void eachFileIsWrittenBesideFlushedAndRenamed() {
        QFETCH(QString, kind);
        QFETCH(bool, swaps);
        QFETCH(QString, trace);
        Scene scene;
        Kind file = scene.kind(kind);
        const QByteArray before = bytes(file.target);
        WatchedDisk disk(scene.labels(file.target));
        if (!swaps) {
            disk.refuse(WatchedDisk::Exchange, EINVAL);
        }
        QCOMPARE(file.write(), QString());
        QCOMPARE(QString::fromStdString(disk.trace()), trace);
        QVERIFY(bytes(file.target) != file.before);
        if (kind == "repair") {
            QCOMPARE(bytes(scene.path("Zembo.BAK")), before);
        }
        QCOMPARE(scene.strays(), QStringList());
    }

    // Each step failing in turn, on a full disk (and a PDF refused by permissions).
    void aFailedStepIsSaidAndLeavesTheOldFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("letThrough");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("replaced");  // failed after the rename: the new file stands
        QTest::addColumn<bool>("swaps");
        const std::vector<std::pair<WatchedDisk::Step, const char*>> steps = {
            {WatchedDisk::Create, "create"},   {WatchedDisk::Write, "write"},
            {WatchedDisk::FlushFile, "flush"}, {WatchedDisk::Close, "close"},
            {WatchedDisk::Rename, "rename"},   {WatchedDisk::FlushFolder, "folder"}};
        for (const char* kind : {"backup", "csv", "pdf", "first start"}) {
            for (const auto& [step, name] : steps) {
                const bool first = QString(kind) == "first start";
                QTest::addRow("%s, %s", kind, name)
                    << kind << int(first && step == WatchedDisk::Rename ? WatchedDisk::Place : step)
                    << 0 << ENOSPC << (step == WatchedDisk::FlushFolder) << true;
            }
        }
        QTest::newRow("pdf, not permitted")
            << "pdf" << int(WatchedDisk::Create) << 0 << EACCES << false << true;
        // The repair's own steps: the flush of the compacted copy, the swap of names, the
        // backup's name, the folder after them; on a disk that cannot swap, the backup's copy
        // and the rename onto the catalogue.
        QTest::newRow("repair, copy flush")
            << "repair" << int(WatchedDisk::FlushByName) << 0 << ENOSPC << false << true;
        QTest::newRow("repair, swap")
            << "repair" << int(WatchedDisk::Exchange) << 0 << EIO << false << true;
        QTest::newRow("repair, backup's name")
            << "repair" << int(WatchedDisk::Rename) << 0 << ENOSPC << false << true;
        QTest::newRow("repair, folder")
            << "repair" << int(WatchedDisk::FlushFolder) << 1 << EIO << true << true;
        QTest::newRow("repair, no swapping, backup")
            << "repair" << int(WatchedDisk::Write) << 0 << ENOSPC << false << false;
        QTest::newRow("repair, no swapping, rename")
            << "repair" << int(WatchedDisk::Rename) << 1 << ENOSPC << false << false;
    }
    void aFailedStepIsSaidAndLeavesTheOldFile() {
        QFETCH(QString, kind);
        QFETCH(int, step);
        QFETCH(int, letThrough);
        QFETCH(int, error);
        QFETCH(bool, replaced);
        QFETCH(bool, swaps);
        Scene scene;
        Kind file = scene.kind(kind);
        WatchedDisk disk(scene.labels(file.target));
        disk.failAt(WatchedDisk::Step(step), error, letThrough);
        if (!swaps) {
            disk.refuse(WatchedDisk::Exchange, EINVAL);
        }
        const QString message = file.write();
        QVERIFY2(disk.trace().find("FAILED") != std::string::npos, disk.trace().c_str());
        const QString cause = error == ENOSPC   ? "the disk is full"
                              : error == EACCES ? "permission denied"
                                                : "Input/output error";
        QVERIFY2(message.contains(cause), qPrintable(message));
        if (replaced) {
            QVERIFY(bytes(file.target) != file.before);
        } else {
            QCOMPARE(bytes(file.target), file.before);
        }
        QCOMPARE(scene.strays(), QStringList());
    }

    // A target kept behind a symbolic link (in a synced folder) is replaced where it lives,
    // its temporary beside it, and the link stays; a catalogue linked from another disk, where
    // nothing can be swapped or renamed across, gets a copy there.
    void aLinkedFileIsReplacedWhereItLives_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exchange");  // what the swap of names answers
        QTest::addColumn<QString>("trace");
        const QString written =
            "create temp\nwrite temp\nflush temp\nclose temp\n"
            "rename temp real\nflush folder elsewhere\n";
        for (const char* kind : {"backup", "csv", "pdf"}) {
            QTest::newRow(kind) << kind << 0 << written;
        }
        QTest::newRow("repair") << "repair" << 0
                                << "remove rebuilt\nflush rebuilt\nflush folder folder\n"
                                   "exchange rebuilt real\nrename rebuilt backup\n"
                                   "flush folder elsewhere\nflush folder folder\n";
        QTest::newRow("repair, another disk")
            << "repair" << EXDEV
            << "remove rebuilt\nflush rebuilt\nflush folder folder\n"
               "exchange rebuilt real REFUSED\n" +
                   QString(Written).replace("rename temp target", "rename temp backup") +
                   "rename rebuilt real FAILED\n" + written + "remove rebuilt\n";
    }
    void aLinkedFileIsReplacedWhereItLives() {
        QFETCH(QString, kind);
        QFETCH(int, exchange);
        QFETCH(QString, trace);
        Scene scene;
        Kind file = scene.kind(kind);
        QDir folder(scene.folder());
        QVERIFY(folder.mkdir("elsewhere"));
        const QString real = scene.path("elsewhere/real");
        QVERIFY(QFile::rename(file.target, real) && QFile::link("elsewhere/real", file.target));
        const auto privately = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                               QFile::WriteUser | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(real, privately));
        auto labels = scene.labels(file.target);
        labels[real.toStdString()] = "real";
        labels[scene.path("elsewhere").toStdString()] = "elsewhere";
        WatchedDisk disk(labels);
        if (exchange != 0) {
            disk.refuse(WatchedDisk::Exchange, exchange);
            disk.failAt(WatchedDisk::Rename, EXDEV, 1);
        }
        QCOMPARE(file.write(), QString());
        QCOMPARE(QString::fromStdString(disk.trace()), trace);
        QCOMPARE(QFileInfo(file.target).symLinkTarget(), real);
        QVERIFY(bytes(real) != file.before);
        QCOMPARE(QFile::permissions(real), privately);  // kept, not widened
        if (kind == "repair") {
            QCOMPARE(bytes(scene.path("Zembo.BAK")), file.before);
        }
        QCOMPARE(scene.strays(), QStringList());
        QCOMPARE(QDir(scene.path("elsewhere")).entryList(QDir::Files), QStringList{"real"});
    }

    // A link that points nowhere, or at a folder or a pipe, is refused in a plain sentence
    // and nothing is written.
    void aLinkToNoFileIsRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("said");
        QTest::newRow("csv, nowhere") << "csv"
                                      << "nowhere"
                                      << "', which is not there.";
        QTest::newRow("first start, nowhere") << "first start"
                                              << "nowhere"
                                              << "', which is not there.";
        QTest::newRow("pdf, folder") << "pdf"
                                     << "folder"
                                     << "it is a link to the folder '";
        QTest::newRow("backup, pipe") << "backup"
                                      << "pipe"
                                      << "', a device or a pipe, not a file.";
        QTest::newRow("repair, pipe") << "repair"
                                      << "pipe"
                                      << "', a device or a pipe, not a file.";
    }
    void aLinkToNoFileIsRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, points);
        QFETCH(QString, said);
        Scene scene;
        Kind file = scene.kind(kind);
        const QString end = scene.path("end");
        if (points == "folder") {
            QVERIFY(QDir(scene.folder()).mkdir("end"));
        } else if (points == "pipe") {
            QCOMPARE(::mkfifo(end.toLocal8Bit().constData(), 0600), 0);
        }
        const QByteArray catalogue = bytes(scene.path("Zembo.mdb"));
        if (kind == "repair") {  // the catalogue is read through its own link, the backup's is bad
            QVERIFY(QFile::rename(file.target, scene.path("Out.real.mdb")) &&
                    QFile::link("Out.real.mdb", file.target));
            QVERIFY(QFile::link("end", scene.path("Zembo.BAK")));
        } else {
            QFile::remove(file.target);
            QVERIFY(QFile::link("end", file.target));
        }
        WatchedDisk disk(scene.labels(file.target));
        const QString message = file.write();
        QVERIFY2(message.contains(said), qPrintable(message));
        QVERIFY(disk.trace().find("rename") == std::string::npos);
        QCOMPARE(bytes(scene.path(kind == "repair" ? "Out.real.mdb" : "Zembo.mdb")), catalogue);
        QCOMPARE(scene.strays(), QStringList());
    }

    // Temporary files of a killed run go the next time the program writes to that folder;
    // one that another run is still writing stays.
    // The engine's journals beside a temporary database go with it, and stay while it does.
    void leftoversOfKilledRunsAreRemoved() {
        Scene scene;
        const auto leave = [&](const QString& name) {
            QFile leftover(scene.path(name));
            QVERIFY(leftover.open(QIODevice::WriteOnly) && leftover.write("partial") == 7);
        };
        for (const char* name :
             {"Out.csv.k3Jx9a.quorvane-part", "X.mdb.recovered-a1.quorvane-part",
              "X.mdb.recovered-a1.quorvane-part-journal", "X.mdb.salvaged-b2.quorvane-part-wal"}) {
            leave(name);
        }
        {
            files::ReplacingFile busy(scene.path("Other.txt").toStdString());
            const QString busyName = QString::fromStdString(busy.temporary()).section('/', -1);
            leave(busyName + "-journal");
            Kind file = scene.kind("csv");
            QCOMPARE(file.write(), QString());
            QCOMPARE(scene.strays(), (QStringList{busyName, busyName + "-journal"}));
        }
        files::removeLeftovers(scene.folder().toStdString());  // as the next start does
        QCOMPARE(scene.strays(), QStringList());
    }
};

QTEST_MAIN(TestFileWrites)
#include "tst_file_writes.moc"
