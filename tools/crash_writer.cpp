// Developer tool for the crash test (make crashtest): writes through the recordset as the
// program does, and checks afterwards that a killed writer lost nothing it had reported.
//   crash_writer write CATALOGUE    adds rows and rewrites a counter row, printing each
//                                   write once it is committed ("add N", "set N")
//   crash_writer check CATALOGUE ACKS   exit 0 when the file is sound and holds every
//                                   write listed in ACKS; prints what is wrong otherwise
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "db/Catalogue.h"
#include "db/DbError.h"

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

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
            return write(argv[2]);
        }
        if (argc == 4 && std::strcmp(argv[1], "check") == 0) {
            return check(argv[2], argv[3]);
        }
    } catch (const db::DbError& e) {
        std::printf("crash_writer: %s\n", e.description.c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: %s write CATALOGUE | check CATALOGUE ACKS\n", argv[0]);
    return 2;
}
