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

// How many records the damaged catalogue `damaged` counts in the largest of its tables and
// indexes that can still be read; nothing when it cannot say.
std::optional<std::int64_t> claimedRecords(const std::string& damaged);

// The page-table module's file name.
inline constexpr const char* PageTableFile = "quorvane-dbpage.so";

// Where the page-table module is: beside the program (a portable copy of its folder), else in
// `programFolder`/../lib/quorvane (the build tree, an installation elsewhere), else in the
// installed library folder `installedFolder`. Throws DbError(err::Unspecified, "the repair's
// page reader is missing: ...") when none has it.
std::string findPageTableModule(const std::string& programFolder,
                                const std::string& installedFolder);
// The same for the running program.
std::string pageTableModule();

}  // namespace db::salvage
