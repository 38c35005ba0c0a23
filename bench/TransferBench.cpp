// CSV export and import: the export from the window against the bare SELECT of the view
// written with fprintf, the import against the bare prepared INSERT of the same rows in one
// transaction, and the preview against the file read and its records' keys made.
#include <sqlite3.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "CatalogueGenerator.h"
#include "app/transfer/RecordExport.h"
#include "app/transfer/RecordImport.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Collation.h"

namespace bench {
namespace {

using Row = std::array<std::optional<std::string>, 8>;  // the four texts, then their keys

std::string cacheFolder() {
    return (QCoreApplication::applicationDirPath() + "/../bench-data").toStdString();
}

// The rows of a catalogue, with their sort keys, in memory in the file's order (the Artist
// view), for the bare inserts: rows in index order go in faster than in any other.
std::vector<Row> rowsOf(std::int64_t records) {
    db::Connection connection;
    connection.open(cachedCatalogue(cacheFolder(), records));
    db::Statement select(connection,
                         "SELECT Artist, Title, Category, Format, quorvane_sort_key(Artist), "
                         "quorvane_sort_key(Title), quorvane_sort_key(Category), "
                         "quorvane_sort_key(Format) FROM ArtistOrder JOIN Main ON Main.rowid = "
                         "Id ORDER BY ArtistKey, TitleKey, Id");
    std::vector<Row> rows;
    while (select.step()) {
        Row& row = rows.emplace_back();
        for (int column = 0; column < 8; ++column) {
            if (const auto text = select.textColumn(column)) {
                row[static_cast<std::size_t>(column)] = std::string(*text);
            }
        }
    }
    return rows;
}

QStringList namesOf(db::Connection& connection, const char* type) {
    QStringList names;
    db::Statement list(connection, "SELECT name FROM sqlite_schema WHERE type = ?");
    list.bind(1, db::Value(type));
    while (list.step()) {
        names << QString::fromStdString(std::string(list.textColumn(0).value_or("")));
    }
    return names;
}

std::string emptyCatalogue(const QTemporaryDir& dir, const char* name) {
    const std::string path = dir.filePath(name).toStdString();
    QFile::remove(QString::fromStdString(path));
    db::catalogue::makeCatalogue(path, false);
    return path;
}

// The bare export: the view's SELECT, each row written with fprintf, the file flushed.
void selectWithFprintf(db::Connection& connection, const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    db::Statement rows(connection,
                       "SELECT Artist, Title, Category, Format FROM ArtistOrder JOIN Main ON "
                       "Main.rowid = Id ORDER BY ArtistKey, TitleKey, Id");
    std::fprintf(out, "Artist,Title,Category,Format\r\n");
    while (rows.step()) {
        std::string_view f[4];
        for (int c = 0; c < 4; ++c) {
            f[c] = rows.textColumn(c).value_or("");
        }
        std::fprintf(out, "%.*s,%.*s,%.*s,%.*s\r\n", int(f[0].size()), f[0].data(),
                     int(f[1].size()), f[1].data(), int(f[2].size()), f[2].data(), int(f[3].size()),
                     f[3].data());
    }
    std::fflush(out);
    ::fsync(::fileno(out));
    std::fclose(out);
}

// The bare import: one prepared INSERT of the texts into Main and one of the keys (made
// beforehand) into each order's table, bound row by row, in one transaction; nothing noted.
void insertRows(const std::string& path, const std::vector<Row>& rows) {
    db::Connection connection;
    connection.open(path);
    for (const QString& trigger : namesOf(connection, "trigger")) {
        connection.execute("DROP TRIGGER \"" + trigger.toStdString() + "\"");
    }
    const char* const sql[] = {
        "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?1, ?2, ?3, ?4)",
        "INSERT INTO ArtistOrder VALUES (?5, ?6, ?9)", "INSERT INTO TitleOrder VALUES (?6, ?5, ?9)",
        "INSERT INTO CategoryOrder VALUES (?7, ?6, ?9)",
        "INSERT INTO FormatOrder VALUES (?8, ?5, ?6, ?9)"};
    std::vector<sqlite3_stmt*> inserts;
    for (const char* text : sql) {
        sqlite3_prepare_v2(connection.handle(), text, -1, &inserts.emplace_back(), nullptr);
    }
    connection.execute("BEGIN");
    for (const Row& row : rows) {
        for (std::size_t s = 0; s < inserts.size(); ++s) {
            sqlite3_stmt* insert = inserts[s];
            for (int c = 0; c < 8; ++c) {
                if (const auto& text = row[static_cast<std::size_t>(c)]; text && c >= 4) {
                    sqlite3_bind_blob(insert, c + 1, text->data(), static_cast<int>(text->size()),
                                      SQLITE_STATIC);
                } else if (text) {
                    sqlite3_bind_text(insert, c + 1, text->data(), static_cast<int>(text->size()),
                                      SQLITE_STATIC);
                } else {
                    sqlite3_bind_null(insert, c + 1);
                }
            }
            sqlite3_bind_int64(insert, 9, sqlite3_last_insert_rowid(connection.handle()));
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    for (sqlite3_stmt* insert : inserts) {
        sqlite3_finalize(insert);
    }
    connection.execute("COMMIT");
}

void ExportRecords(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    const std::string bare = loaded.dir.filePath("bare.csv").toStdString();
    loaded.desktop.fileName = loaded.dir.filePath("ours.csv");
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        selectWithFprintf(loaded.state.session.cnMain, bare);
        const auto t1 = Clock::now();
        loaded.window->mnuFileExport_Click();
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    if (QFile(loaded.desktop.fileName).size() < QFile(QString::fromStdString(bare)).size()) {
        state.SkipWithError("the export wrote less than the bare one");
    }
    timer.report(state);
}

// The import's run after the preview: the file read, parsed, cut to the widths and
// inserted in one transaction, events let run every thousand rows as the window does.
void ImportRecords(benchmark::State& state) {
    const QString csv = generatedCsv(state.range(0));
    const std::vector<Row> rows = rowsOf(state.range(0));
    QTemporaryDir dir;
    RatioTimer timer;
    for (auto _ : state) {
        const std::string bare = emptyCatalogue(dir, "bare.mdb");
        const std::string ours = emptyCatalogue(dir, "ours.mdb");
        const auto t0 = Clock::now();
        insertRows(bare, rows);
        const auto t1 = Clock::now();
        db::Connection connection;
        connection.open(ours);
        const app::RecordImport import(csv);
        const auto added = import.insertAll(connection, [](int) {
            QCoreApplication::processEvents();
            return true;
        });
        const auto t2 = Clock::now();
        if (!added) {
            state.SkipWithError("the import stopped");
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// The bare work of the preview: the file read and each record's four sort keys made.
std::int64_t readAndMakeKeys(const QString& csv) {
    QFile file(csv);
    file.open(QIODevice::ReadOnly);
    const QByteArray text = file.readAll();
    std::int64_t keyBytes = 0;
    for (const QByteArray& line : text.split('\n')) {
        for (const QByteArray& field : line.trimmed().split(',')) {
            keyBytes += static_cast<std::int64_t>(
                db::collation::sortKey(std::string_view(field.constData(), field.size())).size());
        }
    }
    return keyBytes;
}

// Reading the file for the preview, each record looked for in a catalogue that holds it.
void PreviewImport(benchmark::State& state) {
    const QString csv = generatedCsv(state.range(0));
    db::Connection connection;
    connection.open(cachedCatalogue(cacheFolder(), state.range(0)));
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(readAndMakeKeys(csv));
        const auto t1 = Clock::now();
        const auto preview = app::RecordImport(csv).preview(connection, {});
        const auto t2 = Clock::now();
        if (!preview || preview->existing != preview->rows) {
            state.SkipWithError("the preview did not find every record");
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// The generated catalogue's records as a Discogs collection export would list them (the
// artist numbered, formats after the first, a folder, a release id, the columns the site
// writes); and the same file with its header named as a plain file's, read without the rules.
std::pair<std::string, std::string> discogsAndPlain(std::int64_t records) {
    const auto header = [](const char* number, const char* release, const char* folder) {
        return std::string(number) + ",Artist,Title,Label,Format,Rating,Released," + release + "," +
               folder +
               ",Date Added,Collection Media Condition,Collection Sleeve Condition,Collection "
               "Notes\n";
    };
    const auto quoted = [](const std::optional<std::string>& text) {
        std::string field = "\"";
        for (const char c : text.value_or("")) {
            field += c == '"' ? std::string("\"\"") : std::string(1, c);
        }
        return field + "\"";
    };
    std::string rows;
    std::int64_t release = 0;
    for (const Row& row : rowsOf(records)) {
        ++release;
        rows += "CAT " + std::to_string(release) + "," + quoted(row[0].value_or("") + " (2)") +
                "," + quoted(row[1]) + ",A Label," + quoted(row[3].value_or("LP") + ", Album") +
                ",,2001," + std::to_string(release) + "," + quoted(row[2]) +
                ",2024-01-01 10:00:00,,,\n";
    }
    return {header("Catalog#", "release_id", "CollectionFolder") + rows,
            header("Number", "Release", "Category") + rows};
}

// The preview of a Discogs export (its rules, each release once) against the preview of the
// same rows read as a plain file.
void PreviewDiscogsExport(benchmark::State& state) {
    const auto [discogs, plain] = discogsAndPlain(state.range(0));
    db::Connection connection;
    connection.open(cachedCatalogue(cacheFolder(), state.range(0)));
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const auto bare = app::RecordImport::fromBytes(plain).preview(connection, {});
        const auto t1 = Clock::now();
        const auto ours = app::RecordImport::fromBytes(discogs).preview(connection, {});
        const auto t2 = Clock::now();
        if (!bare || !ours || ours->rows != bare->rows) {
            state.SkipWithError("the export's rows were not all read");
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

}  // namespace

QString generatedCsv(std::int64_t records) {
    const std::string catalogue = cachedCatalogue(cacheFolder(), records);
    const QString csv =
        QString::fromStdString(cacheFolder()) + "/records-" + QString::number(records) + ".csv";
    if (!QFile::exists(csv)) {
        db::Connection connection;
        connection.open(catalogue);
        db::Recordset all;
        all.open(connection, db::catalogue::mainTable(*db::findView("Artist")));
        app::exportRecords(all, csv);
    }
    return csv;
}

BENCHMARK(PreviewDiscogsExport)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ExportRecords)->Apply(onCatalogueSizes);
BENCHMARK(ImportRecords)->Apply(onCatalogueSizes);
BENCHMARK(PreviewImport)->Apply(onCatalogueSizes);

}  // namespace bench
