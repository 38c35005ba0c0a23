#include "db/RecordTransfer.h"

#include "db/Collation.h"
#include "db/SortKeys.h"
#include "db/SqlText.h"

namespace db::catalogue {
namespace {

constexpr std::int64_t ManyRecords = 50000;

bool isMany(Connection& connection, std::int64_t expected) {
    if (expected > ManyRecords) {
        return true;
    }
    Statement held(connection, "SELECT count(*) FROM Main");
    return held.step() && expected * 10 > held.integerColumn(0);
}

void bindTexts(Statement& statement, const RecordTexts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        statement.bindText(static_cast<int>(i) + 1, texts[i]);
    }
}

// Runs a SELECT EXISTS with its parameters bound, ready for the next ones.
bool exists(Statement& statement) {
    statement.step();
    const bool found = statement.integerColumn(0) != 0;
    statement.reset();
    return found;
}

std::string lookupQuery(Lookup which) {
    const std::string column = quoted(lookupColumn(which));
    return "SELECT EXISTS (SELECT 1 FROM " + column + " WHERE quorvane_same_name(" + column +
           ", ?))";
}

}  // namespace

RecordInserter::RecordInserter(Connection& connection, std::int64_t expected)
    : connection_(connection),
      indexesDropped_(isMany(connection, expected)),
      statement_(connection,
                 "INSERT INTO Main (Artist, Title, Category, Format, ArtistKey, TitleKey, "
                 "CategoryKey, FormatKey) VALUES (?1, ?2, ?3, ?4, quorvane_sort_key(?1), "
                 "quorvane_sort_key(?2), quorvane_sort_key(?3), quorvane_sort_key(?4))") {
    if (indexesDropped_) {
        dropOrderIndexes(connection);
    }
}

void RecordInserter::insert(const RecordTexts& texts) {
    bindTexts(statement_, texts);
    statement_.step();
    statement_.reset();
}

void RecordInserter::finish() {
    if (indexesDropped_) {
        buildOrderIndexes(connection_);
        indexesDropped_ = false;
    }
}

namespace {

// Each column's key within the range of its text's letters and accents, searched through the
// artist order's index (without statistics the engine would pick the category's, ten times
// less selective). A read-only catalogue's keys come from a view, which has no index.
std::string matchQuery(Connection& connection, bool upToRowId) {
    fillMissingKeys(connection);
    return std::string("SELECT EXISTS (SELECT 1 FROM Main ") +
           (connection.isReadOnly() ? "" : "INDEXED BY MainByArtist ") +
           "WHERE ArtistKey >= CAST(? AS BLOB) AND ArtistKey < CAST(? AS BLOB) AND "
           "TitleKey >= CAST(? AS BLOB) AND TitleKey < CAST(? AS BLOB) AND "
           "CategoryKey >= CAST(? AS BLOB) AND CategoryKey < CAST(? AS BLOB) AND "
           "FormatKey >= CAST(? AS BLOB) AND FormatKey < CAST(? AS BLOB)" +
           (upToRowId ? " AND rowid <= ?9" : "") + ")";
}

}  // namespace

RecordMatcher::RecordMatcher(Connection& connection, std::optional<std::int64_t> upToRowId)
    : statement_(connection, matchQuery(connection, upToRowId.has_value())), upTo_(upToRowId) {}

bool RecordMatcher::holds(const RecordTexts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const collation::KeyRange range = collation::sameLettersAndAccents(texts[i]);
        statement_.bind(static_cast<int>(2 * i) + 1, Value(range.first));
        statement_.bind(static_cast<int>(2 * i) + 2, Value(range.beyond));
    }
    if (upTo_) {
        statement_.bind(9, Value(*upTo_));
    }
    return exists(statement_);
}

LookupMatcher::LookupMatcher(Connection& connection, Lookup which)
    : statement_(connection, lookupQuery(which)) {}

bool LookupMatcher::holds(const std::string& value) {
    statement_.bind(1, Value(value));
    return exists(statement_);
}

std::int64_t lastRowId(Connection& connection) {
    Statement last(connection, "SELECT coalesce(max(rowid), 0) FROM Main");
    return last.step() ? last.integerColumn(0) : 0;
}

void addLookupValue(Connection& connection, Lookup which, const std::string& value) {
    const std::string column = quoted(lookupColumn(which));
    connection.execute("INSERT INTO " + column + " (" + column + ") VALUES (?)", {value});
}

}  // namespace db::catalogue
