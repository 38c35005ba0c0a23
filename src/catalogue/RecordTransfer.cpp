#include "catalogue/RecordTransfer.h"

#include "catalogue/Collation.h"
#include "catalogue/Orders.h"
#include "sqlite/SqlText.h"

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
      firstAdded_(isMany(connection, expected) ? beginAddingMany(connection, expected)
                                               : std::nullopt),
      statement_(connection,
                 "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?1, ?2, ?3, ?4)") {}

void RecordInserter::insert(const RecordTexts& texts) {
    bindTexts(statement_, texts);
    statement_.step();
    statement_.reset();
}

void RecordInserter::finish() {
    if (firstAdded_) {
        placeAddedRecords(connection_, *firstAdded_);
        firstAdded_.reset();
    }
}

namespace {

// The artist and title within the range of their texts' letters and accents, searched in
// the artist order; the category and format of the few records found compared by their
// keys, made as they are read.
std::string matchQuery(Connection& connection, bool upToRowId) {
    const OrderRead read(connection);  // the records noted before are in their places
    return std::string(
               "SELECT EXISTS (SELECT 1 FROM ArtistOrder JOIN Main ON Main.rowid = "
               "ArtistOrder.Id WHERE ArtistKey >= CAST(? AS BLOB) AND ArtistKey < CAST(? AS "
               "BLOB) AND TitleKey >= CAST(? AS BLOB) AND TitleKey < CAST(? AS BLOB) AND "
               "quorvane_sort_key(Category) >= CAST(? AS BLOB) AND quorvane_sort_key(Category) "
               "< CAST(? AS BLOB) AND quorvane_sort_key(Format) >= CAST(? AS BLOB) AND "
               "quorvane_sort_key(Format) < CAST(? AS BLOB)") +
           (upToRowId ? " AND ArtistOrder.Id <= ?9" : "") + ")";
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
