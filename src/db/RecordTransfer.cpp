#include "db/RecordTransfer.h"

#include "db/SqlText.h"

namespace db::catalogue {
namespace {

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
    return "SELECT EXISTS (SELECT 1 FROM " + column + " WHERE " + column + " = ?)";
}

}  // namespace

RecordInserter::RecordInserter(Connection& connection)
    : statement_(connection,
                 "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?, ?, ?, ?)") {}

void RecordInserter::insert(const RecordTexts& texts) {
    bindTexts(statement_, texts);
    statement_.step();
    statement_.reset();
}

RecordMatcher::RecordMatcher(Connection& connection)
    : statement_(connection,
                 "SELECT EXISTS (SELECT 1 FROM Main WHERE Artist IS ? AND Title IS ? AND "
                 "Category IS ? AND Format IS ?)") {}

bool RecordMatcher::holds(const RecordTexts& texts) {
    bindTexts(statement_, texts);
    return exists(statement_);
}

LookupMatcher::LookupMatcher(Connection& connection, Lookup which)
    : statement_(connection, lookupQuery(which)) {}

bool LookupMatcher::holds(const std::string& value) {
    statement_.bind(1, Value(value));
    return exists(statement_);
}

void addLookupValue(Connection& connection, Lookup which, const std::string& value) {
    const std::string column = quoted(lookupColumn(which));
    connection.execute("INSERT INTO " + column + " (" + column + ") VALUES (?)", {value});
}

}  // namespace db::catalogue
