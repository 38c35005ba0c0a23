#include "app/transfer/RecordExport.h"

#include <array>
#include <optional>

#include "catalogue/Views.h"
#include "csv/CsvReader.h"
#include "csv/CsvWriter.h"
#include "files/ReplacingFile.h"
#include "sqlite/DbError.h"

namespace app {
namespace {

constexpr std::size_t FlushAtBytes = 1 << 20;
constexpr std::int64_t ProgressEveryRecords = 4096;

// The text as UTF-8: each byte that does not belong to a UTF-8 sequence, and each zero
// byte, becomes U+FFFD.
std::string mendedText(std::string_view text) {
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return decoded.toUtf8().replace('\0', "\xEF\xBF\xBD").toStdString();
}

bool isUtf8Text(std::string_view text) {
    try {
        csv::requireUtf8Text(text);
        return true;
    } catch (const csv::Malformed&) {
        return false;
    }
}

// The CSV text, handed to the file a megabyte at a time.
class CsvFile {
  public:
    explicit CsvFile(const std::string& path) : file_(path) {
        buffer_.reserve(FlushAtBytes + 4096);
    }
    std::string& buffer() { return buffer_; }
    void flushWhenFull() {
        if (buffer_.size() >= FlushAtBytes) {
            write();
        }
    }
    // Puts the file in the target's place, flushed to the disk.
    void finish() {
        write();
        file_.commit();
    }

  private:
    void write() {
        file_.write(buffer_);
        buffer_.clear();
    }

    files::ReplacingFile file_;
    std::string buffer_;
};

ExportResult writeRecords(db::Recordset& records, const std::string& path,
                          const std::function<void(std::int64_t written)>& progress) {
    ExportResult result;
    CsvFile file(path);
    std::string& out = file.buffer();
    out += "Artist,Title,Category,Format\r\n";
    try {
        std::array<std::optional<std::string_view>, 4> fields;
        std::array<std::string, 4> mended;
        records.forEachRow(db::recordColumnList(), [&](const db::Statement& rows) {
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
            csv::appendRecord(out, fields);
            file.flushWhenFull();
            result.mended += odd ? 1 : 0;
            result.unfilled += unfilled ? 1 : 0;
            if (++result.records % ProgressEveryRecords == 0 && progress) {
                progress(result.records);
            }
        });
    } catch (const db::DbError& error) {
        throw ExportFailed{QString::fromStdString(error.description)};
    }
    file.finish();
    return result;
}

}  // namespace

ExportResult exportRecords(db::Recordset& records, const QString& path,
                           const std::function<void(std::int64_t written)>& progress) {
    try {
        return writeRecords(records, path.toStdString(), progress);
    } catch (const files::FileError& error) {
        throw ExportFailed{QString::fromStdString(error.what())};
    }
}

}  // namespace app
