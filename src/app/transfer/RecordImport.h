#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/RecordTransfer.h"
#include "csv/TextEncoding.h"

namespace app {

// Why a file cannot be imported: what is wrong, and on which line (0: the whole file).
struct ImportRefused {
    std::size_t line;
    QString what;
};

// A CSV file of records to add to the catalogue: checked and its header read when it is
// opened, previewed, then inserted in one transaction. Columns are found by their header
// names (Artist, Title, Category, Format or the others below, in any order and letter case);
// other columns are left out. A file whose first line names no column and has at most four fields
// has no header: its fields are Artist, Title, Category and Format in that order, as far as the
// widest of its first lines reaches; with more fields its first line is a header of names not
// known, and no column is read until chosen. A bare empty field is a Null, a quoted empty one empty
// text; rows with no text in any of the four columns are skipped; in texts each run of white space
// (line breaks too) is one blank and none is kept at either end, and they are cut to the
// columns' widths.
class RecordImport {
  public:
    using Texts = db::RecordTexts;
    static constexpr std::size_t PreviewRows = 10;

    // Reads and checks the file; throws ImportRefused.
    explicit RecordImport(const QString& path);
    // For tests: the file's bytes as they would be read.
    static RecordImport fromBytes(std::string bytes);
    // Records found elsewhere (a music folder's albums), imported as a file's rows are.
    static RecordImport fromRecords(std::vector<Texts> records);

    QString delimiterName() const;  // "comma", "semicolon" or "tab"
    // The encoding the file is read in ("UTF-8", "Windows-1252"), found at first
    // (csv::detectEncoding) and chosen again by the user among the choices; a choice the file
    // cannot be read in throws ImportRefused and leaves the file read as it was.
    const std::string& encoding() const { return encoding_; }
    std::vector<std::string> encodingChoices() const;
    void readAs(const std::string& encoding);
    bool isDiscogsExport() const { return releaseColumn_ >= 0; }
    QStringList ignoredColumns() const;
    // The file's columns by their header names ("Field 1", ... without a header), and the one
    // each of Artist, Title, Category and Format is read from (-1: none), found by their names
    // at first (Artist or Album Artist, Title or Album, Category, Genre or Style, Format, Medium
    // or Media) and chosen again by the user.
    QStringList fileColumns() const;
    std::array<int, 4> chosenColumns() const { return columnOf_; }
    void chooseColumns(const std::array<int, 4>& fields);
    bool headerless() const { return headerless_; }
    // Whether the Artist or the Title is read from a column: a file whose header names none
    // of the catalogue's columns has none until the user chooses.
    bool readsArtistOrTitle() const;
    // The catalogue's columns the file fills ("Artist", "Title", ...), in their order.
    QStringList columnsRead() const;

    // Hears the share of the file done (0 to 100) now and then; answers whether to go on.
    using Progress = std::function<bool(int percent)>;

    struct Preview {
        std::int64_t rows = 0;        // records that would be added
        std::int64_t cut = 0;         // ...of them with a text cut to its column's width
        std::int64_t empty = 0;       // rows skipped as empty
        std::int64_t repeated = 0;    // rows of a release listed before, skipped
        std::int64_t existing = 0;    // ...of them already in the catalogue, all four values equal
        std::vector<Texts> first;     // the first records, as they would be stored
        std::vector<Texts> firstNew;  // ...and the first not in the catalogue already
        // The names of artists, categories and formats longer than their lists keep, each
        // once: they are not offered for the lists.
        std::array<std::int64_t, 3> tooLongForList{};
    };
    // Reads the whole file: nothing when stopped. Throws ImportRefused for a malformed row.
    std::optional<Preview> preview(db::Connection& connection, const Progress& progress) const;

    // The values of one column the inserted records hold that their lookup table lacks and
    // would keep whole, each once (letter case aside), in the order first met.
    using NewNames = std::array<std::vector<std::string>, 3>;  // artists, categories, formats
    struct Inserted {
        NewNames lacking;
        std::int64_t added = 0;
        std::int64_t leftOut = 0;  // already in the catalogue, when those are left out
    };
    enum class Existing { Added, LeftOut };
    // Adds the records in one transaction: nothing is written when stopped (nothing is
    // returned then) or on a DbError. Records already in the catalogue before the import
    // (compared as the preview counts them) are added again, or left out. Names the lookup
    // values the records bring.
    std::optional<Inserted> insertAll(db::Connection& connection, const Progress& progress,
                                      Existing existing = Existing::Added) const;

  private:
    RecordImport() = default;
    void readDetected();
    void decode(const std::string& encoding);  // throws csv::Malformed
    std::string_view text() const;             // the file as UTF-8, after any byte order mark
    void readHeader();
    void readWithoutHeader(char splittingFirstLine);
    void readDiscogsHeader();
    static std::string readWholeFile(const QString& path);
    // Hands each record to `each` as it would be stored, with whether a text was cut; rows
    // skipped are counted in `skipped`. False when stopped.
    using EachRecord = std::function<void(const Texts&, bool cut)>;
    struct Skipped {
        std::int64_t empty = 0, repeated = 0;
    };
    bool forEachRecord(const EachRecord& each, Skipped& skipped, const Progress& progress) const;
    bool forEachFileRecord(const EachRecord& each, Skipped& skipped,
                           const Progress& progress) const;
    // A Discogs export's artist, format and collection folder as the catalogue keeps them.
    static void asDiscogsKeepsIt(Texts& texts);
    // The records there may be, told before the first is written.
    std::int64_t mostRecords() const;

    std::optional<std::vector<Texts>> records_;  // or a file's:
    std::string bytes_;
    csv::EncodingGuess guess_;
    std::string encoding_;
    std::string converted_;  // the bytes as UTF-8, when they are in another encoding
    char delimiter_ = ',';
    std::array<int, 4> columnOf_{-1, -1, -1, -1};
    std::vector<std::string> header_;  // the names of the first line, when it names them
    bool headerless_ = false;
    int releaseColumn_ = -1;  // a Discogs export's release_id: each release once
};

}  // namespace app
