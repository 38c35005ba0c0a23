#include "repair/Salvage.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "catalogue/Catalogue.h"
#include "files/ReplacingFile.h"
#include "repair/Maintenance.h"
#include "repair/salvage/Pipeline.h"
#include "repair/salvage/Refill.h"
#include "sqlite/DbError.h"

namespace db::salvage {
namespace {

namespace fs = std::filesystem;

// A file name beside `target`, not taken by anything, removed (with any journal) when done.
// Named and locked as the program's temporary files are, so a killed run's is cleared later.
class TemporaryBeside {
  public:
    TemporaryBeside(const std::string& target, const char* kind) {
        std::string pattern = target + "." + kind + "-XXXXXX" + std::string(files::TemporarySuffix);
        fd_ = ::mkstemps(pattern.data(), static_cast<int>(files::TemporarySuffix.size()));
        if (fd_ < 0) {
            throw DbError(err::Unspecified,
                          files::describeFailure("Cannot create a file beside", target, errno));
        }
        ::flock(fd_, LOCK_EX | LOCK_NB);
        path_ = pattern;
    }
    ~TemporaryBeside() {
        ::unlink(path_.c_str());
        ::unlink((path_ + "-journal").c_str());
        ::close(fd_);
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int fd_ = -1;
};

// A path the sqlite3 tool takes as a file name, never as an option or a URI.
std::string plainPath(const std::string& path) {
    return fs::absolute(path).lexically_normal().string();
}

// An argument of a dot-command of the sqlite3 tool, quoted as it unquotes it.
std::string dotArgument(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;) {
        text.replace(at, 1, "; ");
    }
    return text;
}

std::string whyFailed(const char* what, const Finished& finished) {
    std::string why = std::string(what) + " stopped (" + finished.status + ")";
    const std::string said = oneLine(finished.errorText);
    return said.empty() ? why : why + ": " + said;
}

// `.recover` writes SQL that rebuilds every table it could read; a second sqlite3 runs it
// into `recovered`. The tool reads the damaged file only, without ~/.sqliterc.
void recover(const std::string& damaged, const std::string& recovered, const std::string& module) {
    const PipelineResult result =
        runPipeline({"sqlite3", "-init", "/dev/null", "-batch", "-readonly", "-cmd",
                     ".load " + dotArgument(module), plainPath(damaged),
                     ".recover --lost-and-found lost_and_found"},
                    {"sqlite3", "-init", "/dev/null", "-batch", "-bail", plainPath(recovered)});
    if (!result.first.ok) {
        throw DbError(err::Unspecified, whyFailed("SQLite's recovery", result.first));
    }
    if (!result.second.ok) {
        throw DbError(err::Unspecified, whyFailed("Writing the recovered tables", result.second));
    }
}

}  // namespace

Salvaged salvageInto(const std::string& damaged, const std::string& target,
                     const std::string& pageTableModule) {
    const std::string nothing = "Nothing could be salvaged from '" + damaged + "': ";
    std::error_code error;
    if (fs::symlink_status(target, error).type() != fs::file_type::not_found) {
        throw DbError(err::Unspecified,
                      "Cannot salvage into '" + target + "': a file is already there.");
    }
    if (!fs::is_regular_file(damaged, error)) {
        throw DbError(err::Unspecified, nothing + "there is no such file.");
    }
    if (!fs::is_regular_file(pageTableModule, error)) {
        throw DbError(err::Unspecified,
                      nothing + "the repair's page reader is missing: " + pageTableModule + ".");
    }
    Salvaged salvaged;
    TemporaryBeside result(target, "salvaged");
    try {
        TemporaryBeside recovered(target, "recovered");
        recover(damaged, recovered.path(), pageTableModule);
        catalogue::makeCatalogue(result.path(), false);
        salvaged.saved = refill(result.path(), recovered.path());
    } catch (const DbError& failure) {
        throw DbError(err::Unspecified, nothing + failure.description);
    }
    salvaged.claimed = claimedRecords(damaged);
    if (!maintenance::placeNewFile(result.path(), target)) {
        throw DbError(err::Unspecified, "'" + target + "' appeared while the salvage ran.");
    }
    return salvaged;
}

// The count Main's table, one of its indexes or one of the orders' tables gives: the largest
// that can still be read.
std::optional<std::int64_t> claimedRecords(const std::string& damaged) {
    sqlite3* handle = nullptr;
    std::optional<std::int64_t> claimed;
    if (sqlite3_open_v2(damaged.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(handle);
        return claimed;
    }
    auto each = [handle](const std::string& sql, auto&& row) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                row(statement);
            }
        }
        sqlite3_finalize(statement);
    };
    // A bare count(*) reads whichever index is smallest; these read the table or one index.
    std::vector<std::string> counts = {"SELECT count(*) FROM Main NOT INDEXED"};
    each("SELECT name FROM sqlite_schema WHERE type = 'index' AND tbl_name = 'Main'",
         [&counts](sqlite3_stmt* row) {
             std::string name = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
             for (std::size_t at = 0; (at = name.find('"', at)) != std::string::npos; at += 2) {
                 name.insert(at, 1, '"');
             }
             counts.push_back("SELECT count(*) FROM Main INDEXED BY \"" + name +
                              "\" WHERE rowid IS NOT NULL");
         });
    // Each order's table holds a row per record too.
    for (const View& view : views()) {
        each("SELECT name FROM sqlite_schema WHERE type = 'table' AND name = '" +
                 std::string(view.table) + "'",
             [&counts](sqlite3_stmt* row) {
                 counts.push_back(
                     "SELECT count(*) FROM \"" +
                     std::string(reinterpret_cast<const char*>(sqlite3_column_text(row, 0))) +
                     "\"");
             });
    }
    for (const std::string& count : counts) {
        each(count, [&claimed](sqlite3_stmt* row) {
            const std::int64_t n = sqlite3_column_int64(row, 0);
            claimed = claimed ? std::max(*claimed, n) : n;
        });
    }
    sqlite3_close(handle);
    return claimed;
}

std::string findPageTableModule(const std::string& programFolder,
                                const std::string& installedFolder) {
    const fs::path program(programFolder);
    const fs::path places[] = {program / PageTableFile,
                               program / ".." / "lib" / "quorvane" / PageTableFile,
                               fs::path(installedFolder) / PageTableFile};
    for (const fs::path& place : places) {
        std::error_code error;
        if (fs::is_regular_file(place, error)) {
            return place.lexically_normal().string();
        }
    }
    throw DbError(err::Unspecified, "the repair's page reader is missing: " + places[0].string() +
                                        " (nor is it in " + places[1].lexically_normal().string() +
                                        " or " + places[2].string() + "). Copy " + PageTableFile +
                                        " beside the program, or install the program again.");
}

std::string pageTableModule() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return findPageTableModule(program.parent_path().string(), QUORVANE_INSTALLED_LIBRARIES);
}

}  // namespace db::salvage
