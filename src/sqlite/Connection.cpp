#include "sqlite/Connection.h"

#include <algorithm>
#include <thread>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include "sqlite/DbError.h"
#include "sqlite/FileKind.h"

namespace db {
namespace {

constexpr int BusyTimeoutMs = 1500;
constexpr int BusyStepMs = 10;

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Why a catalogue file could not be opened at all, in words that say what to do.
std::string whyNotOpened(const std::string& path, FileKind kind) {
    if (kind == FileKind::Missing) {
        return "Could not find file '" + path +
               "'. Put the catalogue file back in that folder and start again.";
    }
    if (kind == FileKind::Folder) {
        return "'" + path +
               "' is a folder, not a catalogue file. Rename or move that folder and put the "
               "catalogue file in its place.";
    }
    if (access(path.c_str(), R_OK) != 0) {
        return "The file '" + path +
               "' cannot be read: this user may not open it. Give this user permission to "
               "read and write it, and start again.";
    }
    return "The file '" + path + "' could not be opened.";
}

// A file that holds no database at all: nothing in it to salvage.
DbError notADatabase(const std::string& path, FileKind kind) {
    switch (kind) {
        case FileKind::NotAFile:
            return DbError::foreignFile("'" + path +
                                        "' is a device or a pipe, not a catalogue file. Put the "
                                        "catalogue file in its place and start again.");
        case FileKind::Empty:
            return DbError::foreignFile("The file '" + path + "' is empty: it is not a catalogue.");
        default:
            return DbError::foreignFile("Unrecognized database format '" + path +
                                        "'. The file is not a catalogue: restore it from a "
                                        "backup copy.");
    }
}

std::string whyDamaged(const std::string& path, FileKind kind, const char* engineSaid) {
    if (kind == FileKind::DatabasePages) {
        return "The first page of '" + path +
               "' no longer says it is a database, but its other pages can still be read.";
    }
    return std::string(engineSaid) + " ('" + path + "')";
}

}  // namespace

Connection::~Connection() {
    close();
}

void Connection::open(const std::string& path) {
    openWith(path, SQLITE_OPEN_READWRITE);
}

void Connection::create(const std::string& path) {
    openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void Connection::openWith(const std::string& path, int flags) {
    close();
    const FileKind kind = fileKindOf(path);
    if (kind == FileKind::NotAFile || (kind == FileKind::Empty && !(flags & SQLITE_OPEN_CREATE))) {
        throw notADatabase(path, kind);
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(raw);
        throw DbError(err::Unspecified, whyNotOpened(path, kind));
    }
    handle_ = raw;
    path_ = path;
    sqlite3_busy_handler(handle_, &Connection::waitWhileBusy, this);
    sqlite3_extended_result_codes(handle_, 0);
    // Reading the schema proves the file is a catalogue we can use right now.
    const int probe =
        sqlite3_exec(handle_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (probe != SQLITE_OK) {
        std::string message;
        const bool pages = kind == FileKind::Database || kind == FileKind::DatabasePages;
        if (probe == SQLITE_CANTOPEN) {
            message = whyNotOpened(path, kind);
        } else if (probe == SQLITE_CORRUPT || (probe == SQLITE_NOTADB && pages)) {
            // A database file whose header or pages are damaged: a repair may salvage it.
            message = whyDamaged(path, kind, sqlite3_errmsg(handle_));
            close();
            throw DbError::damage(message);
        } else if (probe == SQLITE_NOTADB) {
            close();
            throw notADatabase(path, kind);
        } else if (probe == SQLITE_BUSY || probe == SQLITE_LOCKED) {
            message = "The file '" + fileName(path) +
                      "' is locked by another program. Close that program and try again.";
        } else {
            message = std::string(sqlite3_errmsg(handle_)) + " ('" + path + "')";
        }
        close();
        throw DbError(err::Unspecified, message);
    }
    try {
        useDurableSettings();
    } catch (...) {
        close();
        throw;
    }
    // The journal beside the file (where a link leads) needs a writable folder as much as the
    // file does.
    std::error_code unresolved;
    const auto lives = std::filesystem::weakly_canonical(path, unresolved);
    fileId_ = fileIdAt(path);
    readOnly_ = sqlite3_db_readonly(handle_, "main") == 1 || access(path.c_str(), W_OK) != 0 ||
                access(folderOf(unresolved ? path : lives.string()).c_str(), W_OK) != 0;
}

// A rollback journal beside the file only while a change is written, and every commit
// synced to the disk (with the journal's folder) before it counts as done: a saved record
// survives a power cut. A file another tool left in write-ahead-log mode is put back.
void Connection::useDurableSettings() {
    const std::string mode = textValue("PRAGMA journal_mode=DELETE");
    if (mode != "delete") {
        throw DbError(err::Unspecified,
                      "The catalogue file is kept in '" + mode +
                          "' journal mode by another program, and could not be put back. Close "
                          "that program and start again.");
    }
    executeScript("PRAGMA synchronous=EXTRA");
    // Large sorts (every sort key made, a report in an order no view keeps) use the other
    // cores: half the time on two.
    const unsigned cores = std::thread::hardware_concurrency();
    executeScript("PRAGMA threads=" + std::to_string(std::clamp(cores, 1u, 4u)));
}

// Another program holds the file: wait for it a while, in short steps, and let the
// program show that it is waiting.
int Connection::waitWhileBusy(void* self, int attempts) {
    auto* connection = static_cast<Connection*>(self);
    if (!connection->waits_) {
        return 0;
    }
    if (attempts == 0 && connection->onWait_) {
        connection->onWait_();
    }
    if (attempts * BusyStepMs >= BusyTimeoutMs) {
        return 0;  // give up: the statement fails as locked
    }
    sqlite3_sleep(BusyStepMs);
    return 1;
}

void Connection::stopWhen(const std::atomic<bool>* stop) {
    constexpr int StepsBetweenLooks = 1000;
    sqlite3_progress_handler(
        handle(), stop ? StepsBetweenLooks : 0,
        [](void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(stop));
}

// The file at a path (where a link leads): its disk and its number there.
std::optional<std::pair<std::uint64_t, std::uint64_t>> Connection::fileIdAt(
    const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return std::pair<std::uint64_t, std::uint64_t>(status.st_dev, status.st_ino);
}

bool Connection::replacedAtItsPath() const {
    if (!handle_ || !fileId_) {
        return false;
    }
    const auto now = fileIdAt(path_);  // none there: nothing to open instead
    return now && *now != *fileId_;
}

void Connection::close() {
    readOnly_ = false;
    fileId_.reset();
    dataVersion_.reset();
    kept_.reset();
    if (handle_) {
        sqlite3_close_v2(handle_);
        handle_ = nullptr;
    }
}

sqlite3* Connection::handle() const {
    if (!handle_) {
        throw DbError::objectClosed();
    }
    return handle_;
}

void Connection::execute(const std::string& sql, const std::vector<Value>& params) {
    Statement statement(*this, sql);
    statement.bindAll(params);
    while (statement.step()) {
    }
}

void Connection::executeScript(const std::string& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(handle(), sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB) {
            throw DbError::damage(text);
        }
        throw DbError(err::Unspecified, text);
    }
}

std::int64_t Connection::integerValue(const std::string& sql, const std::vector<Value>& params) {
    Statement statement(*this, sql);
    statement.bindAll(params);
    return statement.step() ? statement.integerColumn(0) : 0;
}

std::string Connection::textValue(const std::string& sql, const std::vector<Value>& params) {
    Statement statement(*this, sql);
    statement.bindAll(params);
    return statement.step() ? std::string(statement.textColumn(0).value_or("")) : std::string();
}

std::int64_t Connection::totalChanges() const {
    return sqlite3_total_changes64(handle());
}

std::int64_t Connection::dataVersion() {
    if (!dataVersion_) {
        dataVersion_ = std::make_unique<Statement>(*this, "PRAGMA data_version");
    }
    dataVersion_->step();
    const std::int64_t version = dataVersion_->integerColumn(0);
    dataVersion_->reset();
    return version;
}

std::uint32_t Connection::fileVersion() const {
    unsigned int version = 0;
    sqlite3_file_control(handle(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return version;
}

std::int64_t Connection::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(handle());
}

int Connection::changes() const {
    return sqlite3_changes(handle());
}

void Connection::fail(int code) const {
    std::string message = handle_ ? sqlite3_errmsg(handle_) : sqlite3_errstr(code);
    const std::string missingTable = "no such table: ";
    if (message.rfind(missingTable, 0) == 0) {
        throw DbError(err::TableMissing, "The catalogue has no table or query named '" +
                                             message.substr(missingTable.size()) + "'.");
    }
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        message =
            "The catalogue file is locked by another program. Close that program and try "
            "again.";
    } else if (code == SQLITE_READONLY && replacedAtItsPath()) {
        message = ReplacedText;
    } else if (code == SQLITE_READONLY || (code == SQLITE_CANTOPEN && readOnly_)) {
        message = ReadOnlyText;
    }
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
        throw DbError::damage(message);
    }
    DbError error(err::Unspecified, message);
    error.busy = (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
    throw error;
}

bool Connection::inTransaction() const {
    return handle_ && sqlite3_get_autocommit(handle_) == 0;
}

}  // namespace db
