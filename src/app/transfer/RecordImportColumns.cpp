// Which of the file's columns are the catalogue's: the header's names (those other programs
// write too), a Discogs export's, or the columns in their order when the first line is a record.
#include <algorithm>

#include "app/transfer/DiscogsExport.h"
#include "app/transfer/ImportRefusal.h"
#include "app/transfer/RecordImport.h"
#include "csv/CsvReader.h"
#include "csv/CsvShape.h"

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
constexpr std::array<char, 3> Delimiters{',', ';', '\t'};

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

}  // namespace

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

}  // namespace app
