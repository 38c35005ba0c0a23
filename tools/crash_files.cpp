// The crash tests' worker for the files the program writes beside the catalogue
// (tools/crashtest.sh files): writes them again and again, to be killed at any moment, and
// checks afterwards that each is whole.
//   crash_files backup FOLDER          copies FOLDER/Zembo.mdb onto FOLDER/Zembo.BAK
//   crash_files pdf FOLDER LAYOUT [once]   saves a report of FOLDER/Zembo.mdb as
//                                      FOLDER/Report.pdf
//   crash_files verify FOLDER          exit 0 when Zembo.BAK is the catalogue byte for byte,
//                                      Report.pdf a whole PDF, and at most one partial file
//                                      (the killed run's) lies in the folder
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "repair/Maintenance.h"
#include "reports/Painting.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "sqlite/Connection.h"
#include "sqlite/DbError.h"

namespace {

int backup(const QString& folder) {
    for (;;) {
        db::maintenance::copyFile((folder + "/Zembo.mdb").toStdString(),
                                  (folder + "/Zembo.BAK").toStdString());
    }
}

int pdf(const QString& folder, const QString& layout, bool once) {
    db::Connection connection;
    connection.open((folder + "/Zembo.mdb").toStdString());
    reports::ReportSettings settings;
    settings.reportFile = layout;
    settings.sortFields = {"+{Main.Artist}", "", ""};
    const auto report = reports::makeReport(connection, settings, QDate(2026, 12, 7));
    do {
        if (!reports::writePdf(*report, folder + "/Report.pdf", {})) {
            return 1;
        }
    } while (!once);
    return 0;
}

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int verify(const QString& folder) {
    if (bytes(folder + "/Zembo.BAK") != bytes(folder + "/Zembo.mdb")) {
        std::printf("Zembo.BAK is not a whole copy of the catalogue\n");
        return 1;
    }
    const QByteArray report = bytes(folder + "/Report.pdf");
    if (!report.startsWith("%PDF-") || !report.trimmed().endsWith("%%EOF")) {
        std::printf("Report.pdf is not a whole PDF (%lld bytes)\n",
                    static_cast<long long>(report.size()));
        return 1;
    }
    const QStringList partial = QDir(folder).entryList({"*.quorvane-part"}, QDir::Files);
    if (partial.size() > 1) {
        std::printf("%lld partial files are left\n", static_cast<long long>(partial.size()));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 3 && args[1] == "backup") {
            return backup(args[2]);
        }
        if ((args.size() == 4 || args.size() == 5) && args[1] == "pdf") {
            return pdf(args[2], args[3], args.size() == 5);
        }
        if (args.size() == 3 && args[1] == "verify") {
            return verify(args[2]);
        }
    } catch (const db::DbError& e) {
        std::printf("crash_files: %s\n", e.description.c_str());
        return 1;
    } catch (const reports::ReportError& e) {
        std::printf("crash_files: %s\n", e.description.c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: %s backup FOLDER | pdf FOLDER LAYOUT [once] | verify FOLDER\n",
                 argv[0]);
    return 2;
}
