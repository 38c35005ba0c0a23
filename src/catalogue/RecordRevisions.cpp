#include "catalogue/RecordRevisions.h"

#include "sqlite/Value.h"

namespace db::catalogue {
namespace {

// The row id, then the four texts (Null kept), to be bound.
std::vector<Value> withRowId(std::int64_t rowId, const RecordTexts& texts) {
    std::vector<Value> bound{Value(rowId)};
    for (const auto& text : texts) {
        bound.push_back(text ? Value(*text) : Value());
    }
    return bound;
}

// What is stored against what is expected, before a write over it.
Revision check(Connection& connection, std::int64_t rowId, const RecordTexts& expected) {
    const auto stored = storedTexts(connection, rowId);
    if (!stored) {
        return Revision::Gone;
    }
    return *stored == expected ? Revision::Done : Revision::ChangedElsewhere;
}

}  // namespace

std::optional<RecordTexts> storedTexts(Connection& connection, std::int64_t rowId) {
    Statement read(connection,
                   "SELECT CAST(Artist AS BLOB), CAST(Title AS BLOB), CAST(Category AS BLOB), "
                   "CAST(Format AS BLOB) FROM main.Main WHERE rowid = ?");
    read.bind(1, Value(rowId));
    if (!read.step()) {
        return std::nullopt;
    }
    RecordTexts texts;
    for (int i = 0; i < 4; ++i) {
        if (!read.column(i).isNull()) {
            texts[static_cast<std::size_t>(i)] = std::string(read.blobColumn(i));
        }
    }
    return texts;
}

Revision putBack(Connection& connection, std::int64_t rowId, const RecordTexts& texts) {
    Savepoint unit(connection);
    if (storedTexts(connection, rowId)) {
        return Revision::RowTaken;
    }
    connection.execute(
        "INSERT INTO main.Main (rowid, " + recordColumnList() + ") VALUES (?, ?, ?, ?, ?)",
        withRowId(rowId, texts));
    unit.release();
    return Revision::Done;
}

Revision takeAway(Connection& connection, std::int64_t rowId, const RecordTexts& expected) {
    Savepoint unit(connection);
    if (const Revision found = check(connection, rowId, expected); found != Revision::Done) {
        return found;
    }
    connection.execute("DELETE FROM main.Main WHERE rowid = ?", {Value(rowId)});
    unit.release();
    return Revision::Done;
}

Revision replaceTexts(Connection& connection, std::int64_t rowId, const RecordTexts& expected,
                      const RecordTexts& to) {
    Savepoint unit(connection);
    if (const Revision found = check(connection, rowId, expected); found != Revision::Done) {
        return found;
    }
    connection.execute(
        "UPDATE main.Main SET Artist = ?2, Title = ?3, Category = ?4, Format = ?5 "
        "WHERE rowid = ?1",
        withRowId(rowId, to));
    unit.release();
    return Revision::Done;
}

}  // namespace db::catalogue
