#pragma once

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"

namespace testing {

// A catalogue file in a fresh temporary directory, made by the same code as the shipped one.
class TestCatalogue {
  public:
    struct Row {
        db::Value artist, title, category, format;
    };

    explicit TestCatalogue(const std::vector<Row>& rows = {}, bool withSample = false) {
        db::catalogue::makeCatalogue(path().toStdString(), withSample);
        if (!rows.empty()) {
            insert(rows);
        }
    }

    QString directory() const { return dir_.path(); }
    QString path() const { return dir_.filePath("Zembo.mdb"); }

    void insert(const std::vector<Row>& rows) {
        db::Connection connection;
        connection.open(path().toStdString());
        db::Transaction transaction(connection);
        for (const Row& row : rows) {
            connection.execute(
                "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?,?,?,?)",
                {row.artist, row.title, row.category, row.format});
        }
        db::catalogue::bringOrdersTrue(connection);  // as the program would on opening it
        transaction.commit();
    }

    // Runs one statement on the file, for setting up odd cases.
    void execute(const std::string& sql, const std::vector<db::Value>& params = {}) {
        db::Connection connection;
        connection.open(path().toStdString());
        connection.execute(sql, params);
    }

    // The first column of every row a query returns, as text ("<null>" for Null).
    QStringList column(const std::string& sql) {
        db::Connection connection;
        connection.open(path().toStdString());
        db::Statement statement(connection, sql);
        QStringList values;
        while (statement.step()) {
            const auto text = statement.column(0).text();
            values << (text ? QString::fromStdString(*text) : QStringLiteral("<null>"));
        }
        return values;
    }

  private:
    QTemporaryDir dir_;
};

// Every record with its row id, its values as SQL literals: Null, empty text, numbers and
// bytes told apart.
inline QStringList exactRowsWithIds(TestCatalogue& file) {
    return file.column(
        "SELECT rowid || '|' || quote(Artist) || '|' || quote(Title) || '|' || quote(Category) "
        "|| '|' || quote(Format) FROM Main ORDER BY rowid");
}

// Runs SQL through the stock sqlite3 tool, as another program writes the file: what the tool
// says on either output.
inline QString stockTool(const QString& path, const QString& sql) {
    QProcess tool;
    tool.start("sqlite3", {path, sql});
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed() +
           QString::fromUtf8(tool.readAllStandardError()).trimmed();
}

// A file or folder nobody may write, until the end of scope. Permissions are enough for an
// ordinary user; the superuser (as in CI) needs the immutable attribute, which it can set.
class Unwritable {
  public:
    explicit Unwritable(const QString& path) : path_(path) {
        permissions_ = QFile::permissions(path);
        QFile::setPermissions(path, permissions_ & ~(QFile::WriteOwner | QFile::WriteUser |
                                                     QFile::WriteGroup | QFile::WriteOther));
        if (writable() && QProcess::execute("chattr", {"+i", path}) == 0) {
            immutable_ = true;
        }
    }
    ~Unwritable() {
        if (immutable_) {
            QProcess::execute("chattr", {"-i", path_});
        }
        QFile::setPermissions(path_, permissions_);
    }
    bool took() const { return !writable(); }

  private:
    bool writable() const { return access(QFile::encodeName(path_).constData(), W_OK) == 0; }
    QString path_;
    QFile::Permissions permissions_;
    bool immutable_ = false;
};

// Another program holding the catalogue file locked, until `release` or the end of scope.
class FileLock {
  public:
    explicit FileLock(const QString& path) {
        connection_.open(path.toStdString());
        connection_.execute("BEGIN EXCLUSIVE");
        connection_.execute("UPDATE Options SET optValue = optValue");
    }
    ~FileLock() { release(); }
    void release() {
        if (connection_.isOpen()) {
            connection_.execute("ROLLBACK");
            connection_.close();
        }
    }

  private:
    db::Connection connection_;
};

// `count` records, artists numbered in their order ("Artist 0000", ...), all Rock on CD.
inline std::vector<TestCatalogue::Row> numberedRecords(int count) {
    std::vector<TestCatalogue::Row> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back({QString("Artist %1").arg(i, 4, 10, QChar('0')).toStdString(),
                        QString("Title %1").arg(i).toStdString(), "Rock", "CD"});
    }
    return rows;
}

}  // namespace testing
