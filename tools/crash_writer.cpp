// The crash tests' worker (tools/crashtest.sh): does what the program does to the catalogue,
// to be killed at any moment, and checks the file afterwards.
//   crash_writer write CATALOGUE    adds rows and rewrites a counter row, printing each
//                                   write once it is committed ("add N", "set N")
//   crash_writer check CATALOGUE ACKS   exit 0 when the file is sound and holds every
//                                   write listed in ACKS; prints what is wrong otherwise
//   crash_writer fill CATALOGUE N   adds N recordings (to make a catalogue worth compacting)
//   crash_writer compact FOLDER     repairs and compacts FOLDER/Zembo.mdb, again and again
//   crash_writer deleteall FOLDER   deletes every record in one batch, then compacts
//   crash_writer verify FOLDER REFERENCE [may-be-empty]   exit 0 when FOLDER/Zembo.mdb is
//                                   sound and holds REFERENCE's records (or, when allowed,
//                                   none) and exactly its lookup lists, title and options
//   crash_writer keys FOLDER        makes every sort key of FOLDER/Zembo.mdb again
//   crash_writer verify-keys FOLDER REFERENCE   exit 0 when the file is sound, its texts are
//                                   REFERENCE's byte for byte, and once opened again every key
//                                   is what the collation makes
//   crash_writer salvage FOLDER     repairs FOLDER/Zembo.mdb, a damaged catalogue, once
//   crash_writer verify-salvage FOLDER DAMAGED   clears the folder as a start does, then exit 0
//                                   when no temporary file is left, and Zembo.mdb (and
//                                   Zembo.DAMAGED, if made) is DAMAGED as it was or a sound
//                                   salvaged catalogue
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"
#include "files/ReplacingFile.h"
#include "repair/Maintenance.h"
#include "sqlite/DbError.h"
#include "support/OrderChecks.h"

namespace {

const char* const Writer = "crash writer";

db::TableSource writerRows() {
    return {"Main", "rowid", "Artist = ?", {Writer}};
}

int write(const std::string& path) {
    db::Connection connection;
    connection.open(path);
    db::Recordset rows;
    rows.open(connection, writerRows());
    std::int64_t next = rows.recordCount();
    if (next == 0) {
        rows.addNew();  // the counter row
        rows.setField("Artist", Writer);
        rows.setField("Title", "counter");
        rows.setField("Category", "0");
        rows.update();
        next = 1;
    }
    for (;; ++next) {
        rows.addNew();
        rows.setField("Artist", Writer);
        rows.setField("Title", std::to_string(next));
        rows.update();
        std::printf("add %lld\n", static_cast<long long>(next));
        std::fflush(stdout);
        rows.moveFirst();
        rows.setField("Category", std::to_string(next));
        rows.update();
        std::printf("set %lld\n", static_cast<long long>(next));
        std::fflush(stdout);
    }
}

int check(const std::string& path, const std::string& acks) {
    db::Connection connection;
    connection.open(path);
    db::Statement integrity(connection, "PRAGMA integrity_check");
    integrity.step();
    if (integrity.column(0).text() != "ok") {
        std::printf("integrity check: %s\n", integrity.column(0).text().value_or("?").c_str());
        return 1;
    }
    std::set<std::string> titles;
    std::string counter;
    db::Recordset rows;
    rows.open(connection, writerRows());
    for (; !rows.eof(); rows.moveNext()) {
        const std::string title = rows.field("Title").toText();
        if (title == "counter") {
            counter = rows.field("Category").toText();
        } else if (!titles.insert(title).second) {
            std::printf("row %s is there twice\n", title.c_str());
            return 1;
        }
    }
    std::ifstream list(acks);
    std::string kind, number;
    long long lastSet = 0;
    while (list >> kind >> number) {
        if (kind == "add" && !titles.count(number)) {
            std::printf("acknowledged row %s is lost\n", number.c_str());
            return 1;
        }
        if (kind == "set") {
            lastSet = std::stoll(number);
        }
    }
    if (std::stoll(counter.empty() ? "0" : counter) < lastSet) {
        std::printf("counter is %s, but %lld was acknowledged\n", counter.c_str(), lastSet);
        return 1;
    }
    return 0;
}

int fill(const std::string& path, long long count) {
    db::Connection connection;
    connection.open(path);
    db::Transaction transaction(connection);
    db::Statement insert(connection,
                         "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?,?,?,?)");
    for (long long i = 0; i < count; ++i) {
        insert.bind(1, db::Value("Filler " + std::to_string(i % 997)));
        insert.bind(2, db::Value("Title " + std::to_string(i)));
        insert.bind(3, db::Value("Rock")).bind(4, db::Value("CD"));
        insert.step();
        insert.reset();
    }
    transaction.commit();
    return 0;
}

int compact(const std::string& folder) {
    for (;;) {
        const auto result = db::maintenance::rebuildCatalogue(folder + "/");
        if (result.outcome != db::maintenance::RebuildResult::Done) {
            std::printf("crash_writer: %s\n", result.why.c_str());
            return 1;
        }
    }
}

int deleteAll(const std::string& folder) {
    {
        db::Connection connection;
        connection.open(folder + "/Zembo.mdb");
        db::Recordset rows;
        rows.open(connection, {"Main", {}, {}, {}}, db::CursorType::Keyset,
                  db::LockType::BatchOptimistic);
        for (; !rows.eof(); rows.moveNext()) {
            rows.deleteCurrent();
        }
        rows.updateBatch();
    }
    return db::maintenance::rebuildCatalogue(folder + "/").outcome ==
                   db::maintenance::RebuildResult::Done
               ? 0
               : 1;
}

// A table's whole content as one text, to compare two files by.
std::string contents(db::Connection& connection, const std::string& table) {
    db::Statement rows(connection, "SELECT * FROM " + table + " ORDER BY rowid");
    std::string all;
    while (rows.step()) {
        for (int i = 0; i < rows.columnCount(); ++i) {
            all += rows.column(i).text().value_or("<null>") + "\x1f";
        }
        all += "\x1e";
    }
    return all;
}

int verify(const std::string& folder, const std::string& reference, bool mayBeEmpty) {
    db::Connection file, original;
    file.open(folder + "/Zembo.mdb");
    original.open(reference);
    db::Statement integrity(file, "PRAGMA integrity_check");
    if (!integrity.step() || integrity.column(0).text() != "ok") {
        std::printf("integrity check failed\n");
        return 1;
    }
    for (const char* table : {"Artist", "Category", "Format", "ReportTitle", "Options"}) {
        if (contents(file, table) != contents(original, table)) {
            std::printf("table %s changed\n", table);
            return 1;
        }
    }
    const std::string records = contents(file, "Main");
    if (records != contents(original, "Main") && !(mayBeEmpty && records.empty())) {
        std::printf("the records are neither all there nor all gone\n");
        return 1;
    }
    return 0;
}

bool passesIntegrityCheck(db::Connection& connection) {
    db::Statement integrity(connection, "PRAGMA integrity_check");
    return integrity.step() && integrity.column(0).text() == "ok";
}

int remakeKeys(const std::string& folder) {
    db::Connection connection;
    connection.open(folder + "/Zembo.mdb");
    connection.execute("UPDATE OrderState SET Collation = 'another'");
    db::catalogue::prepareOrders(connection, [](int) {});
    return 0;
}

int verifyKeys(const std::string& folder, const std::string& reference) {
    db::Connection file, original;
    file.open(folder + "/Zembo.mdb");
    original.open(reference);
    if (!passesIntegrityCheck(file)) {
        std::printf("integrity check failed\n");
        return 1;
    }
    const std::string texts =
        "(SELECT hex(Artist) || hex(Title) || hex(Category) || hex(Format) "
        "AS texts FROM Main ORDER BY rowid)";
    if (contents(file, texts) != contents(original, texts)) {
        std::printf("a text changed\n");
        return 1;
    }
    db::catalogue::prepareOrders(file);  // finishes what the killed run began
    db::Statement wrong(file, testing::misplacedSql());
    if (!wrong.step() || wrong.integerColumn(0) != 0) {
        std::printf("keys left unmade\n");
        return 1;
    }
    return 0;
}

std::string bytesOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int salvageOnce(const std::string& folder) {
    const auto result = db::maintenance::rebuildCatalogue(folder + "/");
    return result.outcome == db::maintenance::RebuildResult::Done && result.salvaged ? 0 : 1;
}

int verifySalvage(const std::string& folder, const std::string& damaged) {
    files::removeLeftovers(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().find(files::TemporarySuffix) != std::string::npos) {
            std::printf("left behind: %s\n", entry.path().c_str());
            return 1;
        }
    }
    const std::string was = bytesOf(damaged);
    if (std::filesystem::exists(folder + "/Zembo.DAMAGED") &&
        bytesOf(folder + "/Zembo.DAMAGED") != was) {
        std::printf("Zembo.DAMAGED is not the damaged file\n");
        return 1;
    }
    if (bytesOf(folder + "/Zembo.mdb") == was) {
        return 0;
    }
    db::Connection file;
    file.open(folder + "/Zembo.mdb");
    if (!passesIntegrityCheck(file) || file.integerValue("SELECT count(*) FROM Main") == 0) {
        std::printf("Zembo.mdb is neither the damaged file nor a salvaged catalogue\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
            return write(argv[2]);
        }
        if (argc == 4 && std::strcmp(argv[1], "check") == 0) {
            return check(argv[2], argv[3]);
        }
        if (argc == 4 && std::strcmp(argv[1], "fill") == 0) {
            return fill(argv[2], std::atoll(argv[3]));
        }
        if (argc == 3 && std::strcmp(argv[1], "compact") == 0) {
            return compact(argv[2]);
        }
        if (argc == 3 && std::strcmp(argv[1], "deleteall") == 0) {
            return deleteAll(argv[2]);
        }
        if (argc == 3 && std::strcmp(argv[1], "keys") == 0) {
            return remakeKeys(argv[2]);
        }
        if (argc == 4 && std::strcmp(argv[1], "verify-keys") == 0) {
            return verifyKeys(argv[2], argv[3]);
        }
        if (argc == 3 && std::strcmp(argv[1], "salvage") == 0) {
            return salvageOnce(argv[2]);
        }
        if (argc == 4 && std::strcmp(argv[1], "verify-salvage") == 0) {
            return verifySalvage(argv[2], argv[3]);
        }
        if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "verify") == 0) {
            return verify(argv[2], argv[3], argc == 5);
        }
    } catch (const db::DbError& e) {
        std::printf("crash_writer: %s\n", e.description.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: %s write CATALOGUE | check CATALOGUE ACKS | fill CATALOGUE N | "
                 "compact FOLDER | deleteall FOLDER | verify FOLDER REFERENCE [may-be-empty] | "
                 "keys FOLDER | verify-keys FOLDER REFERENCE | salvage FOLDER | "
                 "verify-salvage FOLDER DAMAGED\n",
                 argv[0]);
    return 2;
}
