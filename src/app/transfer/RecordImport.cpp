#include "app/transfer/RecordImport.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>

#include "app/text/Characters.h"
#include "app/transfer/DiscogsExport.h"
#include "app/transfer/ImportRefusal.h"
#include "catalogue/Collation.h"
#include "csv/CsvReader.h"
#include "csv/CsvShape.h"
#include "csv/TextEncoding.h"

namespace app {
namespace {

using csv::Field;
using csv::Malformed;
using csv::Reader;

constexpr std::array<std::size_t, 4> Widths{30, 30, 15, 5};  // in characters
constexpr std::size_t ProgressEveryRows = 1024;

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

}  // namespace

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
