#include "app/RecordImport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <unordered_set>

#include "app/Characters.h"
#include "app/DiscogsExport.h"
#include "catalogue/Collation.h"
#include "csv/CsvReader.h"
#include "csv/CsvShape.h"
#include "csv/TextEncoding.h"

namespace app {
namespace {

using csv::Field;
using csv::Malformed;
using csv::Reader;

// The names a column of each of the catalogue's is known by, the best first: spreadsheets and
// other programs write "Album Artist", "Genre" or "Medium".
const std::array<std::vector<std::string>, 4> ColumnNames{
    {{"artist", "album artist", "albumartist"},
     {"title", "album"},
     {"category", "genre", "style"},
     {"format", "medium", "media"}}};
constexpr std::array<std::size_t, 4> Widths{30, 30, 15, 5};  // in characters
constexpr std::array<char, 3> Delimiters{',', ';', '\t'};
constexpr std::size_t ProgressEveryRows = 1024;
// Far beyond any collection (a million records take some 50 MB), and the file is held in
// memory while it is read: a file this large was chosen by mistake.
constexpr qint64 LargestFile = qint64(1) << 30;

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

std::string trimmedName(const std::string& header) {
    return folded(QByteArray::fromStdString(header).trimmed().toStdString());
}

// Which of the catalogue's columns a header name is, and how good a name for it (0 the best).
std::pair<int, std::size_t> columnNamed(const std::string& header) {
    const std::string name = trimmedName(header);
    for (std::size_t column = 0; column < ColumnNames.size(); ++column) {
        const auto& names = ColumnNames[column];
        if (const auto found = std::find(names.begin(), names.end(), name); found != names.end()) {
            return {static_cast<int>(column), static_cast<std::size_t>(found - names.begin())};
        }
    }
    return {-1, 0};
}

struct HeaderColumns {
    std::array<int, 4> columnOf{-1, -1, -1, -1};  // the field each column is in, if any
    int found = 0;
};

// Each column from the field with its best name, the first such field on a tie.
HeaderColumns headerColumns(const std::vector<Field>& header) {
    HeaderColumns columns;
    std::array<std::size_t, 4> rank{};
    for (std::size_t i = 0; i < header.size(); ++i) {
        const auto [column, named] = columnNamed(header[i].text);
        if (column < 0) {
            continue;
        }
        const auto at = static_cast<std::size_t>(column);
        if (columns.columnOf[at] < 0) {
            ++columns.found;
        } else if (named >= rank[at]) {
            continue;
        }
        columns.columnOf[at] = static_cast<int>(i);
        rank[at] = named;
    }
    return columns;
}

// `text` cut to `width` characters; true when something was cut.
bool cutToWidth(std::string& text, std::size_t width) {
    if (text.size() <= width) {  // never more characters than bytes
        return false;
    }
    const QString whole = QString::fromStdString(text);
    if (static_cast<std::size_t>(characterCount(whole)) <= width) {
        return false;
    }
    text = leftCharacters(whole, static_cast<qsizetype>(width)).toStdString();
    return true;
}

// Whether a text may hold white space to fold: at either end, a run of it, a tab or a line
// break, or a blank of another kind (the lead bytes of U+0085, U+00A0, U+1680, U+2000-U+205F
// and U+3000 in UTF-8). Most texts hold none and are left as they are without a conversion.
bool mayHoldWhiteSpaceToFold(std::string_view text) {
    const auto space = [](unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    if (text.empty()) {
        return false;
    }
    if (space(static_cast<unsigned char>(text.front())) ||
        space(static_cast<unsigned char>(text.back()))) {
        return true;
    }
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if ((c != ' ' && space(c)) || (c == ' ' && text[at + 1] == ' ') ||
            (c >= 0xC2 && (c == 0xC2 || (c >= 0xE1 && c <= 0xE3)))) {
            return true;
        }
    }
    return false;
}

// `text` as an import keeps it: each run of white space (line breaks, tabs, blanks of every
// kind) one blank, none at either end, cut to `width` characters; true when something was
// cut.
bool keepText(std::string& text, std::size_t width) {
    if (mayHoldWhiteSpaceToFold(text)) {
        text = QString::fromStdString(text).simplified().toStdString();
    }
    if (!cutToWidth(text, width)) {
        return false;
    }
    text = QString::fromStdString(text).trimmed().toStdString();  // a cut may end at a blank
    return true;
}

bool blank(const std::optional<std::string>& text) {
    return !text || text->find_first_not_of(" \t") == std::string::npos;
}

using db::catalogue::Lookup;
constexpr std::array<Lookup, 3> Lists{Lookup::Artist, Lookup::Category, Lookup::Format};
constexpr std::array<std::size_t, 3> ListColumns{0, 2, 3};  // the records' columns they list

// Whether a list keeps a name whole: it stores no more than its width.
bool fitsList(const std::string& name, std::size_t list) {
    const auto width = static_cast<std::size_t>(db::catalogue::lookupWidth(Lists[list]));
    return name.size() <= width ||  // never more characters than bytes
           static_cast<std::size_t>(characterCount(QString::fromStdString(name))) <= width;
}

// The names of each listed column, each once as the lists compare them (letter case aside),
// in the order first met: those a list keeps whole (gathered only when `offered`, for the
// offers after an import), and how many it would cut (for the preview). A text met before is
// not keyed again.
class ListedNames {
  public:
    explicit ListedNames(bool offered) : offered_(offered) {}
    void note(const db::RecordTexts& texts) {
        for (std::size_t list = 0; list < Lists.size(); ++list) {
            const auto& value = texts[ListColumns[list]];
            if (!value || value->empty() || !textsMet_[list].insert(*value).second) {
                continue;
            }
            const bool fits = fitsList(*value, list);
            if ((fits && !offered_) ||
                !names_[list].insert(db::collation::nameKey(*value)).second) {
                continue;
            }
            if (fits) {
                fitting[list].push_back(*value);
            } else {
                ++tooLong[list];
            }
        }
    }
    RecordImport::NewNames fitting;
    std::array<std::int64_t, 3> tooLong{};

  private:
    bool offered_;
    std::array<std::unordered_set<std::string>, 3> textsMet_, names_;
};

// The releases of an export met so far: their ids are numbers, kept as such (any other text
// is kept as text).
class Releases {
  public:
    bool firstTime(const std::string& id) {
        std::int64_t number = 0;
        const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), number);
        if (error == std::errc() && end == id.data() + id.size()) {
            return numbers_.insert(number).second;
        }
        return texts_.insert(id).second;
    }

  private:
    std::unordered_set<std::int64_t> numbers_;
    std::unordered_set<std::string> texts_;
};

ImportRefused refusal(const Malformed& fault) {
    return {fault.line, QString::fromUtf8(fault.what())};
}

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

// Checks the text and finds the delimiter: the one that splits the first line into the
// most column names we know (a comma when there is a tie).
void RecordImport::readHeader() {
    const std::string_view whole = text();
    if (whole.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        throw ImportRefused{0, "it is empty"};
    }
    std::optional<Malformed> fault;  // the header read with some delimiter was malformed
    int bestFound = 0;
    char asRecord = ',';  // the delimiter that splits the first line the most
    std::size_t recordFields = 0;
    std::vector<std::string> widest;  // the first line's fields split so
    for (const char delimiter : Delimiters) {
        std::vector<Field> header;
        try {
            Reader(whole, delimiter).next(header);
        } catch (const Malformed& malformed) {
            fault = fault.value_or(malformed);
            continue;
        }
        if (header.size() > recordFields) {
            asRecord = delimiter;
            recordFields = header.size();
            widest.clear();
            for (const Field& field : header) {
                widest.push_back(field.text);
            }
        }
        const HeaderColumns columns = headerColumns(header);
        if (columns.found > bestFound) {
            bestFound = columns.found;
            delimiter_ = delimiter;
            columnOf_ = columns.columnOf;
            header_.clear();
            for (const Field& field : header) {
                header_.push_back(field.text);
            }
        }
    }
    if (bestFound > 0) {
        readDiscogsHeader();
    }
    if (bestFound == 0 && recordFields > 0 && recordFields <= 4) {  // the first record
        readWithoutHeader(asRecord);
        return;
    }
    if (bestFound == 0 && recordFields > 0) {
        // Columns of names we do not know: none is read until the user chooses.
        delimiter_ = asRecord;
        header_ = std::move(widest);
        return;
    }
    if (bestFound == 0 && fault) {
        throw refusal(*fault);
    }
}

bool RecordImport::readsArtistOrTitle() const {
    return records_ || columnOf_[0] >= 0 || columnOf_[1] >= 0;
}

// A Discogs collection export: its collection folder is the category, and its release_id
// tells a release listed twice.
void RecordImport::readDiscogsHeader() {
    if (!discogs::isExportHeader(header_)) {
        return;
    }
    for (std::size_t i = 0; i < header_.size(); ++i) {
        const std::string name = trimmedName(header_[i]);
        if (name == "release_id") {
            releaseColumn_ = static_cast<int>(i);
        } else if (name == "collectionfolder" && columnOf_[2] < 0) {
            columnOf_[2] = static_cast<int>(i);
        }
    }
}

void RecordImport::asDiscogsKeepsIt(Texts& texts) {
    auto& [artist, title, category, format] = texts;
    if (artist) {
        artist = discogs::artistOf(*artist);
    }
    if (format) {
        format = discogs::formatOf(*format);
    }
    category = category ? discogs::categoryOf(*category) : std::nullopt;
}

// A file whose first line is a record: the delimiter that gives the widest of its first
// records the most fields (the one that splits the first line the most on a tie), and the
// columns in their order as far as that record reaches.
void RecordImport::readWithoutHeader(char splittingFirstLine) {
    headerless_ = true;
    delimiter_ = splittingFirstLine;
    const std::string_view whole = text();
    std::size_t width = csv::widestOfFirstRecords(whole, splittingFirstLine);
    for (const char delimiter : Delimiters) {
        if (const std::size_t wider = csv::widestOfFirstRecords(whole, delimiter); wider > width) {
            width = wider;
            delimiter_ = delimiter;
        }
    }
    for (std::size_t column = 0; column < 4; ++column) {
        columnOf_[column] = column < width ? static_cast<int>(column) : -1;
    }
}

QStringList RecordImport::columnsRead() const {
    static const std::array<QString, 4> Names{"Artist", "Title", "Category", "Format"};
    QStringList read;
    for (std::size_t column = 0; column < 4; ++column) {
        if (columnOf_[column] >= 0) {
            read << Names[column];
        }
    }
    return read;
}

QString RecordImport::delimiterName() const {
    return delimiter_ == ',' ? "comma" : delimiter_ == ';' ? "semicolon" : "tab";
}

// The header's names no column is read from (names of blanks only are not said).
QStringList RecordImport::ignoredColumns() const {
    QStringList ignored;
    for (std::size_t i = 0; i < header_.size(); ++i) {
        const bool read =
            std::find(columnOf_.begin(), columnOf_.end(), static_cast<int>(i)) != columnOf_.end();
        if (!read && !QByteArray::fromStdString(header_[i]).trimmed().isEmpty()) {
            ignored << QString::fromStdString(header_[i]);
        }
    }
    return ignored;
}

QStringList RecordImport::fileColumns() const {
    QStringList names;
    for (const std::string& name : header_) {
        names << QString::fromStdString(name);
    }
    for (std::size_t field = 0; headerless_ && field < 4; ++field) {
        if (columnOf_[field] >= 0) {
            names << QString("Field %1").arg(field + 1);
        }
    }
    return names;
}

void RecordImport::chooseColumns(const std::array<int, 4>& fields) {
    columnOf_ = fields;
}

// A record with no text in any field is empty; texts are kept as keepText keeps them.
bool RecordImport::forEachRecord(const EachRecord& each, Skipped& skipped,
                                 const Progress& progress) const {
    if (!records_) {
        return forEachFileRecord(each, skipped, progress);
    }
    Texts texts;
    for (std::size_t row = 0; row < records_->size(); ++row) {
        if (row % ProgressEveryRows == 0 && progress &&
            !progress(static_cast<int>(row * 100 / records_->size()))) {
            return false;
        }
        texts = (*records_)[row];
        bool cut = false;
        for (std::size_t column = 0; column < 4; ++column) {
            if (texts[column]) {
                cut = keepText(*texts[column], Widths[column]) || cut;
            }
        }
        if (std::all_of(texts.begin(), texts.end(), [](const auto& text) { return blank(text); })) {
            ++skipped.empty;
            continue;
        }
        each(texts, cut);
    }
    return true;
}

std::int64_t RecordImport::mostRecords() const {
    return records_ ? static_cast<std::int64_t>(records_->size())
                    : static_cast<std::int64_t>(std::count(text().begin(), text().end(), '\n'));
}

bool RecordImport::forEachFileRecord(const EachRecord& each, Skipped& skipped,
                                     const Progress& progress) const {
    const std::string_view whole = text();
    try {
        Reader reader(whole, delimiter_);
        std::vector<Field> fields;
        if (!headerless_) {
            reader.next(fields);  // the header
        }
        Releases releases;  // of a Discogs export: each once
        Texts texts;
        for (std::size_t row = 1; reader.next(fields); ++row) {
            if (row % ProgressEveryRows == 0 && progress &&
                !progress(static_cast<int>(reader.offset() * 100 / whole.size()))) {
                return false;
            }
            bool filled = false;  // a quoted field (even "") or some text is a record
            for (std::size_t column = 0; column < 4; ++column) {
                const auto at = static_cast<std::size_t>(columnOf_[column]);
                auto& text = texts[column];
                if (columnOf_[column] < 0 || at >= fields.size() ||
                    (fields[at].text.empty() && !fields[at].quoted)) {
                    text.reset();
                    continue;
                }
                text = fields[at].text;  // a copy into storage kept from row to row
                filled = filled || fields[at].quoted || !blank(text);
            }
            if (!filled) {
                ++skipped.empty;
                continue;
            }
            if (releaseColumn_ >= 0) {
                const auto at = static_cast<std::size_t>(releaseColumn_);
                if (at < fields.size() && !fields[at].text.empty() &&
                    !releases.firstTime(fields[at].text)) {
                    ++skipped.repeated;
                    continue;
                }
                asDiscogsKeepsIt(texts);
            }
            bool cut = false;
            for (std::size_t column = 0; column < 4; ++column) {
                cut = (texts[column] && keepText(*texts[column], Widths[column])) || cut;
            }
            each(texts, cut);
        }
    } catch (const Malformed& fault) {
        throw refusal(fault);
    }
    return true;
}

std::optional<RecordImport::Preview> RecordImport::preview(db::Connection& connection,
                                                           const Progress& progress) const {
    Preview preview;
    Skipped skipped;
    db::catalogue::RecordMatcher matcher(connection);
    ListedNames names(false);
    const db::ReadTransaction snapshot(connection);
    const bool read = forEachRecord(
        [&](const Texts& texts, bool cut) {
            ++preview.rows;
            preview.cut += cut ? 1 : 0;
            const bool there = matcher.holds(texts);
            preview.existing += there ? 1 : 0;
            names.note(texts);
            if (preview.first.size() < PreviewRows) {
                preview.first.push_back(texts);
            }
            if (!there && preview.firstNew.size() < PreviewRows) {
                preview.firstNew.push_back(texts);
            }
        },
        skipped, progress);
    if (!read) {
        return std::nullopt;
    }
    preview.empty = skipped.empty;
    preview.repeated = skipped.repeated;
    preview.tooLongForList = names.tooLong;
    return preview;
}

std::optional<RecordImport::Inserted> RecordImport::insertAll(db::Connection& connection,
                                                              const Progress& progress,
                                                              Existing existing) const {
    db::Transaction transaction(connection);
    // Records already there are those of the catalogue as it was: not the ones this run adds.
    std::optional<db::catalogue::RecordMatcher> already;
    if (existing == Existing::LeftOut) {
        already.emplace(connection, db::catalogue::lastRowId(connection));
    }
    // The check for records already there reads the artist order's index: it is kept up.
    db::catalogue::RecordInserter inserter(connection, already ? 0 : mostRecords());
    ListedNames names(true);
    Inserted inserted;
    Skipped skipped;
    const bool done = forEachRecord(
        [&](const Texts& texts, bool) {
            if (already && already->holds(texts)) {
                ++inserted.leftOut;
                return;
            }
            inserter.insert(texts);
            ++inserted.added;
            names.note(texts);
        },
        skipped, progress);
    if (!done) {
        return std::nullopt;  // the transaction rolls back
    }
    // A name is offered only when its list would keep it whole, and does not hold it yet.
    for (std::size_t list = 0; list < Lists.size(); ++list) {
        const db::catalogue::LookupMatcher listed(connection, Lists[list]);
        for (const std::string& name : names.fitting[list]) {
            if (!listed.holds(name)) {
                inserted.lacking[list].push_back(name);
            }
        }
    }
    already.reset();
    inserter.finish();
    transaction.commit();
    return inserted;
}

}  // namespace app
