// Where a run keeps its catalogue and finds its files, and the command line that can change it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/start/CommandLine.h"
#include "app/start/Locations.h"

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

}  // namespace

class TestLocations : public QObject {
    Q_OBJECT

  private slots:
    void theApplicationDirectoryIsChosenInOrder() {
        QTemporaryDir root;
        const QString program = root.filePath("opt/bin");
        const QString user = root.filePath("home/.local/share/quorvane");
        const QString share = root.filePath("opt/share/quorvane");
        QVERIFY(QDir().mkpath(program));
        touch(user + "/Zembo.mdb");

        // Installed: the program's folder has no catalogue, so the user's folder is used.
        app::Locations where = app::chooseLocations(program, {}, user, share);
        QCOMPARE(where.appDir, user);
        QCOMPARE(where.catalogueName, QString("Zembo.mdb"));
        QCOMPARE(where.shareDir, share);
        QVERIFY(where.perUser);

        // Portable: a catalogue beside the program wins over the user's.
        touch(program + "/Zembo.mdb");
        where = app::chooseLocations(program + "/", {}, user, share);
        QCOMPARE(where.appDir, program);
        QCOMPARE(where.catalogueName, QString("Zembo.mdb"));
        QVERIFY(!where.perUser);

        // A named catalogue wins over both, under its own name; one that is missing is
        // still chosen (opening it says so) and is no first start.
        const QString other = root.filePath("music/jazz.db");
        for (bool exists : {true, false}) {
            if (exists) {
                touch(other);
            } else {
                QVERIFY(QFile::remove(other));
            }
            where = app::chooseLocations(program, other, user, share);
            QCOMPARE(where.appDir, root.filePath("music"));
            QCOMPARE(where.catalogueName, QString("jazz.db"));
            QVERIFY(!where.perUser);
            QVERIFY(!QFile::exists(other) || exists);
        }
    }

    // Beside the catalogue, then beside the program, then among the installed files; a file
    // in none is named beside the catalogue, for the message that follows.
    void theProgramsFilesAreLookedForInOrder() {
        QTemporaryDir root;
        const QString program = root.filePath("build/bin");
        const QString share = root.filePath("share/quorvane");
        const QString music = root.filePath("music");
        QVERIFY(QDir().mkpath(music));
        const auto where = app::chooseLocations(program, music + "/jazz.mdb", "/u", share);
        auto found = [&](const QString& name) {
            return app::findResource(where.appDir, where.resourceDirs, name);
        };
        QCOMPARE(found("Zembo1.rpt"), music + "/Zembo1.rpt");
        for (const QString& folder : {share, program, music}) {
            touch(folder + "/Zembo1.rpt");
            QCOMPARE(found("Zembo1.rpt"), folder + "/Zembo1.rpt");
        }
        QCOMPARE(app::findResource(music + "/", {QString(), share}, "Zembo2.rpt"),
                 music + "/Zembo2.rpt");  // an empty folder is none

        // The program the build makes finds its files beside itself, wherever the catalogue.
        const auto built =
            app::chooseLocations(QUORVANE_BIN_DIR, root.filePath("jazz.mdb"), "/u", share);
        for (const char* name : {"Zembo1.rpt", "Zembo2.rpt", "Quorvane.hlp", "VodiZav.Mid"}) {
            const QString path = app::findResource(built.appDir, built.resourceDirs, name);
            QCOMPARE(path, QDir::cleanPath(QUORVANE_BIN_DIR) + "/" + name);
            QVERIFY(QFile::exists(path));
        }
    }

    void aRelativeCatalogueNameIsFromTheWorkingFolder() {
        QTemporaryDir root;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root.path()));
        const auto where = app::chooseLocations("/nowhere/bin", "sub/../cat/my.mdb", "/u", "/s");
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(where.appDir, QDir(root.path()).canonicalPath() + "/cat");
        QCOMPARE(where.catalogueName, QString("my.mdb"));
    }

    void theUserDataFolderFollowsTheFreedesktopRules_data() {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("set") << "/data/alice"
                             << "/data/alice/quorvane";
        QTest::newRow("trailing separator") << "/data/alice/"
                                            << "/data/alice/quorvane";
        QTest::newRow("unset") << ""
                               << "/home/alice/.local/share/quorvane";
        QTest::newRow("relative is ignored") << "data"
                                             << "/home/alice/.local/share/quorvane";
    }
    void theUserDataFolderFollowsTheFreedesktopRules() {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, expected);
        QCOMPARE(app::userDataFolder(xdgDataHome, "/home/alice"), expected);
    }

    void theInstalledFilesAreBesideTheBinaryFolder() {
        QCOMPARE(app::shareFolder("/usr/bin", "../share/quorvane"), QString("/usr/share/quorvane"));
        QCOMPARE(app::shareFolder("/tmp/x/usr/local/bin/", "../share/quorvane"),
                 QString("/tmp/x/usr/local/share/quorvane"));
    }

    void theCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QStringList>("others");
        using L = app::CommandLine;
        QTest::newRow("nothing") << QStringList{} << int(L::Run) << "" << QStringList{};
        QTest::newRow("help") << QStringList{"--help"} << int(L::Help) << "" << QStringList{};
        QTest::newRow("-h") << QStringList{"-h"} << int(L::Help) << "" << QStringList{};
        QTest::newRow("version") << QStringList{"--version"} << int(L::Version) << ""
                                 << QStringList{};
        QTest::newRow("catalogue") << QStringList{"--catalogue", "/a b/c.mdb"} << int(L::Run)
                                   << "/a b/c.mdb" << QStringList{};
        QTest::newRow("catalogue=")
            << QStringList{"--catalogue=c.mdb"} << int(L::Run) << "c.mdb" << QStringList{};
        QTest::newRow("no file") << QStringList{"--catalogue"} << int(L::Fail) << ""
                                 << QStringList{};
        QTest::newRow("empty file")
            << QStringList{"--catalogue="} << int(L::Fail) << "" << QStringList{};
        QTest::newRow("twice") << QStringList{"--catalogue", "a", "--catalogue=b"} << int(L::Fail)
                               << "a" << QStringList{};
        QTest::newRow("help after a fault")
            << QStringList{"--catalogue", "a", "--catalogue", "b", "--help"} << int(L::Help) << "a"
            << QStringList{};
        QTest::newRow("the toolkit's")
            << QStringList{"-platform", "xcb", "--style=fusion", "-reverse", "--catalogue", "c"}
            << int(L::Run) << "c" << QStringList{"-platform", "xcb", "--style=fusion", "-reverse"};
        QTest::newRow("unknown") << QStringList{"--catalog", "c"} << int(L::Fail) << ""
                                 << QStringList{};
        QTest::newRow("a file alone")
            << QStringList{"c.mdb"} << int(L::Fail) << "" << QStringList{};
    }
    void theCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, catalogue);
        QFETCH(QStringList, others);
        const app::CommandLine line = app::parseCommandLine(arguments);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.catalogue, catalogue);
        QCOMPARE(line.others, others);
        QCOMPARE(line.error.isEmpty(), action != int(app::CommandLine::Fail));
    }
};

QTEST_GUILESS_MAIN(TestLocations)
#include "tst_locations.moc"
