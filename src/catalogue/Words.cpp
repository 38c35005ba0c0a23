#include "catalogue/Words.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <optional>

#include "catalogue/Catalogue.h"
#include "catalogue/Folding.h"
#include "catalogue/Orders.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

constexpr std::string_view WordsName = "RecordWords";
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

// A short word is looked for in the folded texts themselves, four in one call. `columns`
// names the four texts where they are read.
std::string containsCheck(const SearchWord& word, const std::array<std::string, 4>& columns,
                          std::vector<Value>& params) {
    params.emplace_back(word.folded);
    if (word.column >= 0) {
        return "quorvane_holds(?, " + columns[static_cast<std::size_t>(word.column)] + ")";
    }
    return "quorvane_holds(?, " + columns[0] + ", " + columns[1] + ", " + columns[2] + ", " +
           columns[3] + ")";
}

// The row ids of the records holding every word, as a statement; an index of the session's
// stands before the file's (the name unqualified). Short words alone are looked for in the
// index's own table of texts, read as a plain table: a third of the time through the index.
Match wordQuery(const std::vector<SearchWord>& words) {
    const std::string table = quoted(std::string(WordsName));
    const bool anyLong = std::any_of(words.begin(), words.end(), [](const SearchWord& word) {
        return letters(word.folded) >= TrigramLetters;
    });
    const std::array<std::string, 4> columns =
        anyLong ? std::array<std::string, 4>{"Artist", "Title", "Category", "Format"}
                : std::array<std::string, 4>{"c0", "c1", "c2", "c3"};
    std::string match, checks;
    std::vector<Value> shortParams;
    for (const SearchWord& word : words) {
        if (letters(word.folded) >= TrigramLetters) {
            match += (match.empty() ? "" : " AND ") + phrase(word);
        } else {
            checks += " AND " + containsCheck(word, columns, shortParams);
        }
    }
    Match query{anyLong
                    ? "SELECT rowid FROM " + table + " WHERE " + table + " MATCH ?"
                    : "SELECT id FROM " + quoted(std::string(WordsName) + "_content") + " WHERE 1",
                {},
                table};
    if (anyLong) {
        query.params.emplace_back(match);
    }
    query.where += checks;
    query.params.insert(query.params.end(), shortParams.begin(), shortParams.end());
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

void dropWordIndex(Connection& connection, const std::string& schema) {
    connection.execute("DROP TABLE IF EXISTS " + wordsTable(schema));
}

void makeEmptyWordIndex(Connection& connection, const std::string& schema) {
    dropWordIndex(connection, schema);
    connection.execute("CREATE VIRTUAL TABLE " + wordsTable(schema) + " USING fts5(" +
                       recordColumnList() + ", tokenize = 'trigram', columnsize = 0)");
}

void indexRecords(Connection& connection, const std::string& schema, std::int64_t from,
                  std::int64_t limit) {
    connection.execute("INSERT INTO " + wordsTable(schema) + " (rowid, " + recordColumnList() +
                           ") SELECT rowid" + foldedColumns() +
                           " FROM main.Main WHERE rowid >= ? ORDER BY rowid LIMIT ?",
                       {Value(from), Value(limit)});
}

WordPlaces::WordPlaces(Connection& connection, const std::string& schema)
    : insert_(connection, "INSERT INTO " + wordsTable(schema) + " (rowid, " + recordColumnList() +
                              ") VALUES (?, quorvane_fold(?), quorvane_fold(?), "
                              "quorvane_fold(?), quorvane_fold(?))"),
      delete_(connection, "DELETE FROM " + wordsTable(schema) + " WHERE rowid = ?") {}

void WordPlaces::place(std::int64_t id, const RecordTexts& texts) {
    remove(id);  // placed once, whatever was there
    insert_.bind(1, Value(id));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        insert_.bind(static_cast<int>(i) + 2, texts[i] ? Value(*texts[i]) : Value());
    }
    insert_.step();
    insert_.reset();
}

void WordPlaces::remove(std::int64_t id) {
    delete_.bind(1, Value(id));
    delete_.step();
    delete_.reset();
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
        if (!word.folded.empty()) {
            words.push_back(std::move(word));
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
    Statement found(connection, query.where + " ORDER BY rowid");
    found.bindAll(query.params);
    while (found.step()) {
        ids.push_back(found.integerColumn(0));
    }
    return ids;
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
