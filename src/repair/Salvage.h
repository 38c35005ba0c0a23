#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Salvage of a catalogue file too damaged to compact: SQLite's own recovery (the `.recover`
// of the sqlite3 command-line tool) reads what it can from the file's pages, and a fresh
// catalogue is filled with it.
namespace db::salvage {

struct Salvaged {
    std::int64_t saved = 0;               // records in the salvaged catalogue
    std::optional<std::int64_t> claimed;  // records the damaged file counted, when it could
};

// Writes to `target` (a path that must not exist yet) a whole catalogue holding every record
// SQLite's recovery reads from the damaged catalogue `damaged`, which is only read. The
// recovery loads `pageTableModule` into the sqlite3 tool to read raw pages. Throws
// DbError(err::Unspecified, why) when nothing could be salvaged; `target` is then not made.
Salvaged salvageInto(const std::string& damaged, const std::string& target,
                     const std::string& pageTableModule);

// Where the page-table module is: <folder of the running program>/../lib/quorvane/
// quorvane-dbpage.so, as in the build tree and as installed.
std::string pageTableModule();

}  // namespace db::salvage
