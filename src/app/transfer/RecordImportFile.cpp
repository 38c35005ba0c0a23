// The file an import reads: an ordinary file, read whole within a limit, and its encoding
// guessed or chosen.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "app/transfer/ImportRefusal.h"
#include "app/transfer/RecordImport.h"
#include "csv/TextEncoding.h"

namespace app {
namespace {

using csv::Malformed;

// Far beyond any collection (a million records take some 50 MB), and the file is held in
// memory while it is read: a file this large was chosen by mistake.
constexpr qint64 LargestFile = qint64(1) << 30;

}  // namespace

RecordImport::RecordImport(const QString& path) {
    bytes_ = readWholeFile(path);
    readDetected();
}

// The encoding guessed, or, when the file holds bytes it has no character for, the guess's
// other proposals in turn, and Windows-1252, which has one for almost every byte.
void RecordImport::readDetected() {
    guess_ = csv::detectEncoding(bytes_);
    std::vector<std::string> tries{guess_.encoding};
    tries.insert(tries.end(), guess_.others.begin(), guess_.others.end());
    tries.push_back("Windows-1252");
    try {
        for (std::size_t next = 0;; ++next) {
            try {
                decode(tries[next]);
                break;
            } catch (const csv::NotInEncoding&) {
                if (next + 1 == tries.size()) {
                    throw;
                }
            }
        }
    } catch (const Malformed& fault) {
        throw refusal(fault);
    }
    guess_.encoding = encoding_;
    readHeader();
}

// Only an ordinary file is read: a pipe would wait for a writer for ever and a device may
// never end. Opened without waiting (a pipe opens at once then) and looked at through the
// open descriptor, so what is read is what was looked at; read with a hard limit whatever
// size the file claims.
std::string RecordImport::readWholeFile(const QString& path) {
    const auto cannotRead = [](const char* why) {
        return ImportRefused{0, QString("it cannot be read (%1)").arg(QString::fromLocal8Bit(why))};
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw cannotRead(std::strerror(errno));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        throw cannotRead(std::strerror(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        throw ImportRefused{0, "it is a folder"};
    }
    if (!S_ISREG(status.st_mode)) {
        throw ImportRefused{0, "it is a device or a pipe, not a file"};
    }
    if (status.st_size > LargestFile) {
        throw ImportRefused{0, "it is larger than 1 GB, far more than a catalogue holds"};
    }
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t filled = 0;
    char past;  // one byte more than the limit tells a file that grew too large
    while (true) {
        const bool atLimit = filled == bytes.size() && filled >= std::size_t(LargestFile);
        if (filled == bytes.size() && !atLimit) {
            bytes.resize(std::min<std::size_t>(bytes.size() + (1 << 20), LargestFile));
        }
        char* into = atLimit ? &past : bytes.data() + filled;
        const std::size_t room = atLimit ? 1 : bytes.size() - filled;
        const ssize_t got = ::read(fd, into, room);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw cannotRead(std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        if (atLimit) {
            throw ImportRefused{0, "it is larger than 1 GB, far more than a catalogue holds"};
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

RecordImport RecordImport::fromRecords(std::vector<Texts> records) {
    RecordImport import;
    import.records_ = std::move(records);
    return import;
}

RecordImport RecordImport::fromBytes(std::string bytes) {
    RecordImport import;
    import.bytes_ = std::move(bytes);
    import.readDetected();
    return import;
}

// The bytes read in `encoding`: a UTF-8 file is read where it lies, any other converted once.
void RecordImport::decode(const std::string& encoding) {
    if (encoding == "UTF-8") {
        csv::requireUtf8Text(csv::withoutByteOrderMark(bytes_));
        converted_.clear();
    } else {
        converted_ = csv::readAsUtf8(bytes_, encoding);
    }
    encoding_ = encoding;
}

std::string_view RecordImport::text() const {
    return encoding_ == "UTF-8" ? csv::withoutByteOrderMark(bytes_) : std::string_view(converted_);
}

std::vector<std::string> RecordImport::encodingChoices() const {
    return csv::encodingChoices(guess_);
}

void RecordImport::readAs(const std::string& encoding) {
    const auto columns = fileColumns().size();
    const auto chosen = columnOf_;
    RecordImport again;
    again.bytes_ = std::move(bytes_);
    again.guess_ = guess_;
    try {
        again.decode(encoding);
        again.readHeader();
    } catch (const Malformed& fault) {
        bytes_ = std::move(again.bytes_);
        throw refusal(fault);
    } catch (const ImportRefused&) {
        bytes_ = std::move(again.bytes_);
        throw;
    }
    *this = std::move(again);
    if (fileColumns().size() == columns) {  // the same columns: as the user chose them
        columnOf_ = chosen;
    }
}

}  // namespace app
