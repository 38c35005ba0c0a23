#include "app/RecordExport.h"

#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "db/DbError.h"
#include "db/Maintenance.h"
#include "db/csv/CsvReader.h"
#include "db/csv/CsvWriter.h"

namespace app {
namespace {

constexpr std::size_t FlushAtBytes = 1 << 20;
constexpr std::int64_t ProgressEveryRecords = 4096;

ExportFailed failure(const std::string& what, const std::string& path) {
    return {QString::fromStdString(what + " '" + path + "': " + std::strerror(errno) + ".")};
}

// The text as UTF-8: each byte that does not belong to a UTF-8 sequence, and each zero
// byte, becomes U+FFFD.
std::string mendedText(std::string_view text) {
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return decoded.toUtf8().replace('\0', "\xEF\xBF\xBD").toStdString();
}

bool isUtf8Text(std::string_view text) {
    try {
        db::csv::requireUtf8Text(text);
        return true;
    } catch (const db::csv::Malformed&) {
        return false;
    }
}

// A new, empty file beside `path` that no other file has the name of.
std::pair<std::FILE*, std::string> temporaryBeside(const std::string& path) {
    std::string name = path + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw failure("Cannot create a file beside", path);
    }
    // The file it replaces keeps its permissions; a new one gets those any new file gets
    // (mkstemp makes it private).
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0) {
        ::fchmod(fd, target.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(name.c_str());
        throw failure("Cannot write", name);
    }
    return {file, name};
}

class CsvFile {
  public:
    explicit CsvFile(const std::string& path) : path_(path) {
        std::tie(file_, temporary_) = temporaryBeside(path);
        buffer_.reserve(FlushAtBytes + 4096);
    }
    ~CsvFile() {
        if (file_) {  // not finished: the target stays as it was
            std::fclose(file_);
            ::unlink(temporary_.c_str());
        }
    }
    std::string& buffer() { return buffer_; }
    void flushWhenFull() {
        if (buffer_.size() >= FlushAtBytes) {
            write();
        }
    }
    // Flushes the text to the disk and puts the file in the target's place.
    void finish() {
        write();
        const bool synced = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!synced || !closed) {
            ::unlink(temporary_.c_str());
            throw failure("Cannot write", temporary_);
        }
        try {
            db::maintenance::replaceFile(temporary_, path_);
        } catch (const db::DbError& error) {
            ::unlink(temporary_.c_str());
            throw ExportFailed{QString::fromStdString(error.description)};
        }
    }

  private:
    void write() {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
            throw failure("Cannot write", temporary_);
        }
        buffer_.clear();
    }

    std::string path_, temporary_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
};

}  // namespace

ExportResult exportRecords(const db::Recordset& records, const QString& path,
                           const std::function<void(std::int64_t written)>& progress) {
    ExportResult result;
    CsvFile file(path.toStdString());
    std::string& out = file.buffer();
    out += "Artist,Title,Category,Format\r\n";
    try {
        db::Statement rows = records.query("Artist, Title, Category, Format");
        std::array<std::optional<std::string_view>, 4> fields;
        std::array<std::string, 4> mended;
        while (rows.step()) {
            bool odd = false;
            bool unfilled = true;
            for (int column = 0; column < 4; ++column) {
                auto& field = fields[static_cast<std::size_t>(column)];
                field = rows.textColumn(column);
                unfilled = unfilled && !field;
                if (field && !isUtf8Text(*field)) {
                    mended[static_cast<std::size_t>(column)] = mendedText(*field);
                    field = mended[static_cast<std::size_t>(column)];
                    odd = true;
                }
            }
            db::csv::appendRecord(out, fields);
            file.flushWhenFull();
            result.mended += odd ? 1 : 0;
            result.unfilled += unfilled ? 1 : 0;
            if (++result.records % ProgressEveryRecords == 0 && progress) {
                progress(result.records);
            }
        }
    } catch (const db::DbError& error) {
        throw ExportFailed{QString::fromStdString(error.description)};
    }
    file.finish();
    return result;
}

}  // namespace app
