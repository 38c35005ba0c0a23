#include "catalogue/Words.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <optional>

#include "catalogue/Catalogue.h"
#include "catalogue/Folding.h"
#include "catalogue/Orders.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

constexpr std::string_view WordsName = "RecordWords";
constexpr std::string_view WaitingName = "WordsToIndex";  // one row at most: FromId
constexpr std::size_t TrigramLetters = 3;

std::string foldedColumns() {
    std::string columns;
    for (std::string_view column : RecordColumns) {
        columns += ", quorvane_fold(" + std::string(column) + ")";
    }
    return columns;
}

std::size_t letters(std::string_view utf8) {
    return static_cast<std::size_t>(
        icu::UnicodeString::fromUTF8(
            icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())))
            .countChar32());
}

// The word as an FTS5 phrase, its quotes doubled: a text of the query, bound, never SQL.
std::string phrase(const SearchWord& word) {
    std::string quoted = "\"";
    for (const char c : word.folded) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    quoted += "\"";
    return word.column < 0
               ? quoted
               : std::string(RecordColumns[static_cast<std::size_t>(word.column)]) + " : " + quoted;
}

// A short word is looked for in the record's texts, folded as they are read, four in one
// call.
std::string containsCheck(const SearchWord& word, std::vector<Value>& params) {
    params.emplace_back(word.folded);
    if (word.column >= 0) {
        return "quorvane_holds(?, Texts." +
               std::string(RecordColumns[static_cast<std::size_t>(word.column)]) + ")";
    }
    return "quorvane_holds(?, " + recordColumnList("Texts.") + ")";
}

// The row ids of the records holding every word, as a statement: long words through the
// index (the session's stands before the file's, the name unqualified), short ones in Main's
// texts ("Texts", apart from any Main around the statement); the records that wait for the
// index are looked at in their texts for every word.
Match wordQuery(const std::vector<SearchWord>& words) {
    const std::string table = quoted(std::string(WordsName));
    std::string match, checks, waitingChecks;
    std::vector<Value> params, waitingParams;
    for (const SearchWord& word : words) {
        if (letters(word.folded) >= TrigramLetters) {
            match += (match.empty() ? "" : " AND ") + phrase(word);
        } else {
            checks += " AND " + containsCheck(word, params);
        }
        waitingChecks += " AND " + containsCheck(word, waitingParams);
    }
    Match query{{}, {}, table};
    if (match.empty()) {
        query.where = "SELECT Texts.rowid FROM main.Main AS Texts WHERE 1" + checks;
        query.params = std::move(params);
        return query;
    }
    query.where =
        "SELECT " + table + ".rowid FROM " + table +
        (checks.empty() ? "" : " JOIN main.Main AS Texts ON Texts.rowid = " + table + ".rowid") +
        " WHERE " + table + " MATCH ?" + checks +
        " UNION ALL SELECT Texts.rowid FROM main.Main AS Texts WHERE Texts.rowid >= (SELECT "
        "coalesce(min(FromId), 9223372036854775807) FROM " +
        quoted(std::string(WaitingName)) + ")" + waitingChecks;
    query.params.emplace_back(match);
    query.params.insert(query.params.end(), params.begin(), params.end());
    query.params.insert(query.params.end(), waitingParams.begin(), waitingParams.end());
    return query;
}

// "artist" for Artist: the prefixes come folded, as the whole text typed does.
int columnNamed(std::string_view prefix) {
    for (std::size_t i = 0; i < RecordColumns.size(); ++i) {
        if (collation::foldedForSearch(RecordColumns[i]) == prefix) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

std::string wordsTable(const std::string& schema) {
    return schema + "." + quoted(std::string(WordsName));
}

namespace {

std::string waitingTable(const std::string& schema) {
    return schema + "." + quoted(std::string(WaitingName));
}

}  // namespace

void dropWordIndex(Connection& connection, const std::string& schema) {
    connection.execute("DROP TABLE IF EXISTS " + wordsTable(schema));
    connection.execute("DROP TABLE IF EXISTS " + waitingTable(schema));
}

// Contentless: the folded texts are not kept twice, Main has them. The index's table of sizes
// lists the records indexed. The engine gathers a transaction's entries in memory up to its
// hash size before it writes them as a segment: at 64 MB rather than 1 MB, indexing every
// record writes and merges a fiftieth of the segments, in half the time.
void makeEmptyWordIndex(Connection& connection, const std::string& schema) {
    dropWordIndex(connection, schema);
    const std::string table = wordsTable(schema);
    connection.execute("CREATE VIRTUAL TABLE " + table + " USING fts5(" + recordColumnList() +
                       ", content = '', tokenize = 'trigram')");
    connection.execute("INSERT INTO " + table + " (" + quoted(std::string(WordsName)) +
                       ", rank) VALUES ('hashsize', 67108864)");
    connection.execute("CREATE TABLE " + waitingTable(schema) + " (FromId INTEGER NOT NULL)");
}

void emptyWordIndex(Connection& connection, const std::string& schema) {
    connection.execute("INSERT INTO " + wordsTable(schema) + " (" + quoted(std::string(WordsName)) +
                       ") VALUES ('delete-all')");
    connection.execute("DELETE FROM " + waitingTable(schema));
}

std::string indexedIds(const std::string& schema) {
    return "SELECT id FROM " + schema + "." + quoted(std::string(WordsName) + "_docsize");
}

void indexRecords(Connection& connection, const std::string& schema, std::int64_t from,
                  std::int64_t limit) {
    connection.execute("INSERT INTO " + wordsTable(schema) + " (rowid, " + recordColumnList() +
                           ") SELECT rowid" + foldedColumns() +
                           " FROM main.Main WHERE rowid >= ? ORDER BY rowid LIMIT ?",
                       {Value(from), Value(limit)});
}

bool wordIndexAgreesAtEnds(Connection& connection) {
    const auto waitFrom = wordsWaitFrom(connection, "main");
    const std::string indexed = waitFrom ? " WHERE rowid < " + std::to_string(*waitFrom) : "";
    const std::string sizes = "main." + quoted(std::string(WordsName) + "_docsize");
    Statement ends(connection, "SELECT (SELECT min(rowid) FROM main.Main" + indexed +
                                   ") IS (SELECT min(id) FROM " + sizes +
                                   ") AND (SELECT max(rowid) FROM main.Main" + indexed +
                                   ") IS (SELECT max(id) FROM " + sizes + ")");
    return ends.step() && ends.integerColumn(0) != 0;
}

std::optional<std::int64_t> wordsWaitFrom(Connection& connection, const std::string& schema) {
    Statement first(connection, "SELECT min(FromId) FROM " + waitingTable(schema));
    if (first.step() && !first.column(0).isNull()) {
        return first.integerColumn(0);
    }
    return std::nullopt;
}

void leaveWordsFrom(Connection& connection, std::int64_t first) {
    const std::int64_t from = std::min(first, wordsWaitFrom(connection, "main").value_or(first));
    connection.execute("DELETE FROM " + waitingTable("main"));
    connection.execute("INSERT INTO " + waitingTable("main") + " (FromId) VALUES (?)",
                       {Value(from)});
}

// The notes are placed before: a record noted and indexed here would otherwise be taken out
// of the index by the texts of its note, which the index never held.
WordsWaiting indexWaitingWords(Connection& connection, std::int64_t limit) {
    if (connection.isReadOnly()) {
        return WordsWaiting::None;
    }
    const NoWaiting quick(connection, true);
    try {
        Transaction transaction(connection);
        bringOrdersTrue(connection);
        const auto from = wordsWaitFrom(connection, "main");
        if (!from ||
            connection.integerValue("SELECT EXISTS (SELECT 1 FROM main.OrderNotes)") != 0) {
            transaction.commit();  // what placing the notes wrote
            // Notes left: the file's orders are another copy's to place, and to index.
            return from ? WordsWaiting::Held : WordsWaiting::None;
        }
        indexRecords(connection, "main", *from, limit);
        Statement next(connection,
                       "SELECT rowid FROM main.Main WHERE rowid >= ? ORDER BY rowid LIMIT 1 "
                       "OFFSET ?");
        next.bind(1, Value(*from)).bind(2, Value(limit));
        const bool more = next.step();
        connection.execute("DELETE FROM " + waitingTable("main"));
        if (more) {
            connection.execute("INSERT INTO " + waitingTable("main") + " (FromId) VALUES (?)",
                               {Value(next.integerColumn(0))});
        }
        next.reset();
        // Its own triggers marked the orders stale as this program wrote the note; they
        // were true before it (brought true above).
        connection.execute("UPDATE main.OrderState SET Stale = 0");
        transaction.commit();
        return more ? WordsWaiting::More : WordsWaiting::None;
    } catch (const DbError& error) {
        if (error.busy) {
            return WordsWaiting::Held;
        }
        throw;
    }
}

namespace {

constexpr const char* FoldedValues =
    "?, quorvane_fold(?), quorvane_fold(?), quorvane_fold(?), quorvane_fold(?))";

void runWithTexts(Statement& statement, std::int64_t id, const RecordTexts& texts) {
    statement.bind(1, Value(id));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        statement.bind(static_cast<int>(i) + 2, texts[i] ? Value(*texts[i]) : Value());
    }
    statement.step();
    statement.reset();
}

}  // namespace

WordPlaces::WordPlaces(Connection& connection, const std::string& schema)
    : insert_(connection, "INSERT INTO " + wordsTable(schema) + " (rowid, " + recordColumnList() +
                              ") VALUES (" + FoldedValues),
      delete_(connection, "INSERT INTO " + wordsTable(schema) + " (" +
                              quoted(std::string(WordsName)) + ", rowid, " + recordColumnList() +
                              ") VALUES ('delete', " + FoldedValues) {}

void WordPlaces::place(std::int64_t id, const RecordTexts& texts) {
    runWithTexts(insert_, id, texts);
}

void WordPlaces::remove(std::int64_t id, const RecordTexts& indexedBy) {
    runWithTexts(delete_, id, indexedBy);
}

std::vector<SearchWord> searchWords(std::string_view typed) {
    const std::string text = collation::foldedForSearch(typed);
    std::vector<SearchWord> words;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    for (std::size_t at = 0; at < text.size();) {
        if (blank(text[at])) {
            ++at;
            continue;
        }
        SearchWord word;
        if (const auto colon = text.find(':', at); colon != std::string::npos) {
            const std::string_view prefix(text.data() + at, colon - at);
            if (const int column = columnNamed(prefix); column >= 0) {
                word.column = column;
                at = colon + 1;
            }
        }
        if (at < text.size() && text[at] == '"') {
            const auto close = text.find('"', at + 1);
            const std::size_t end = close == std::string::npos ? text.size() : close;
            word.folded = text.substr(at + 1, end - at - 1);
            at = end + 1;
        } else {
            std::size_t end = at;
            while (end < text.size() && !blank(text[end])) {
                ++end;
            }
            word.folded = text.substr(at, end - at);
            at = end;
        }
        if (!word.folded.empty() && std::find(words.begin(), words.end(), word) == words.end()) {
            words.push_back(std::move(word));  // a word typed twice is looked for once
        }
    }
    return words;
}

std::vector<std::int64_t> recordsWithWords(Connection& connection,
                                           const std::vector<SearchWord>& words, IndexRead how) {
    std::vector<std::int64_t> ids;
    if (words.empty()) {
        return ids;
    }
    std::optional<OrderRead> broughtTrue;
    std::optional<ReadTransaction> asItStands;
    if (how == IndexRead::BroughtTrue) {
        broughtTrue.emplace(connection);
    } else if (!connection.inTransaction()) {
        asItStands.emplace(connection);
    }
    const Match query = wordQuery(words);
    Statement found(connection, query.where + " ORDER BY 1");
    found.bindAll(query.params);
    while (found.step()) {
        ids.push_back(found.integerColumn(0));
    }
    return ids;
}

std::vector<std::int64_t> firstRecordsWithWords(Connection& connection,
                                                const std::vector<SearchWord>& words,
                                                std::span<const std::int64_t> ids,
                                                std::size_t wanted) {
    std::vector<std::int64_t> found;
    if (words.empty()) {
        return found;
    }
    std::optional<ReadTransaction> read;
    if (!connection.inTransaction()) {
        read.emplace(connection);
    }
    std::vector<Value> params{Value()};  // the row id first
    std::string checks;
    for (const SearchWord& word : words) {
        checks += " AND " + containsCheck(word, params);
    }
    Statement holds(connection, "SELECT 1 FROM main.Main AS Texts WHERE Texts.rowid = ?" + checks);
    for (auto id = ids.begin(); id != ids.end() && found.size() < wanted; ++id) {
        params.front() = Value(*id);
        if (holds.bindAll(params).step()) {
            found.push_back(*id);
        }
        holds.reset();
    }
    std::sort(found.begin(), found.end());
    return found;
}

Match wordMatch(const std::vector<SearchWord>& words) {
    Match query = wordQuery(words);
    query.where = "Main.rowid IN (" + query.where + ")";
    query.table = "Main";
    return query;
}

bool readsSessionIndex(Connection& connection) {
    return connection.integerValue("SELECT count(*) FROM temp.sqlite_schema WHERE name = ?",
                                   {std::string(WordsName)}) > 0;
}

}  // namespace db::catalogue
