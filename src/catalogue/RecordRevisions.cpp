#include "catalogue/RecordRevisions.h"

#include <functional>

#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

// A field bound as the kind it was stored as.
void bindStored(Statement& statement, int at, const StoredValue& stored) {
    if (stored.blob) {
        statement.bindBlob(at, *stored.value.string());
    } else {
        statement.bind(at, stored.value);
    }
}

// A field read as `typeof(x) = 'blob', x` at `column`.
StoredValue readStored(const Statement& read, int column) {
    StoredValue stored;
    stored.blob = read.integerColumn(column) != 0;
    stored.value =
        stored.blob ? Value(std::string(read.blobColumn(column + 1))) : read.column(column + 1);
    return stored;
}

// Binds one field, or the four of a record, from parameter `first` on.
void bindFrom(Statement& statement, int first, const StoredValue& value) {
    bindStored(statement, first, value);
}
void bindFrom(Statement& statement, int first, const StoredRecord& record) {
    for (std::size_t i = 0; i < record.size(); ++i) {
        bindStored(statement, first + static_cast<int>(i), record[i]);
    }
}

// A write naming the row id as ?1 and what is written from ?2 on.
template <typename Stored>
void runWith(Connection& connection, const std::string& sql, std::int64_t rowId,
             const Stored& stored) {
    Statement write(connection, sql);
    write.bind(1, Value(rowId));
    bindFrom(write, 2, stored);
    write.step();
}

// What is stored against what is expected, before a write over it.
template <typename Stored>
Revision compared(const std::optional<Stored>& stored, const Stored& expected) {
    if (!stored) {
        return Revision::Gone;
    }
    return *stored == expected ? Revision::Done : Revision::ChangedElsewhere;
}

// The write, in a unit of its own with the look that allows it: nothing when the look finds
// the row otherwise.
Revision guarded(Connection& connection, const std::function<Revision()>& look,
                 const std::function<void()>& write) {
    Savepoint unit(connection);
    if (const Revision found = look(); found != Revision::Done) {
        return found;
    }
    write();
    unit.release();
    return Revision::Done;
}

}  // namespace

std::optional<StoredRecord> storedRecord(Connection& connection, std::int64_t rowId) {
    Statement read(connection,
                   "SELECT typeof(Artist) = 'blob', Artist, typeof(Title) = 'blob', Title, "
                   "typeof(Category) = 'blob', Category, typeof(Format) = 'blob', Format "
                   "FROM main.Main WHERE rowid = ?");
    read.bind(1, Value(rowId));
    if (!read.step()) {
        return std::nullopt;
    }
    StoredRecord record;
    for (int i = 0; i < 4; ++i) {
        record[static_cast<std::size_t>(i)] = readStored(read, 2 * i);
    }
    return record;
}

Revision putBack(Connection& connection, std::int64_t rowId, const StoredRecord& record) {
    return guarded(
        connection,
        [&] { return storedRecord(connection, rowId) ? Revision::RowTaken : Revision::Done; },
        [&] {
            runWith(connection,
                    "INSERT INTO main.Main (rowid, " + recordColumnList() +
                        ") VALUES (?1, ?2, ?3, ?4, ?5)",
                    rowId, record);
        });
}

Revision takeAway(Connection& connection, std::int64_t rowId, const StoredRecord& expected) {
    return guarded(
        connection, [&] { return compared(storedRecord(connection, rowId), expected); },
        [&] { connection.execute("DELETE FROM main.Main WHERE rowid = ?", {Value(rowId)}); });
}

Revision replaceFields(Connection& connection, std::int64_t rowId, const StoredRecord& expected,
                       const StoredRecord& to) {
    return guarded(
        connection, [&] { return compared(storedRecord(connection, rowId), expected); },
        [&] {
            runWith(connection,
                    "UPDATE main.Main SET Artist = ?2, Title = ?3, Category = ?4, Format = ?5 "
                    "WHERE rowid = ?1",
                    rowId, to);
        });
}

OneColumn lookupValues(Lookup which) {
    const std::string name = lookupColumn(which);
    return {name, name};
}

OneColumn reportTitleValue() {
    return {"ReportTitle", "Title"};
}

std::optional<StoredValue> storedValue(Connection& connection, const OneColumn& where,
                                       std::int64_t rowId) {
    const std::string column = quoted(where.column);
    Statement read(connection, "SELECT typeof(" + column + ") = 'blob', " + column + " FROM main." +
                                   quoted(where.table) + " WHERE rowid = ?");
    read.bind(1, Value(rowId));
    if (!read.step()) {
        return std::nullopt;
    }
    return readStored(read, 0);
}

Revision putValueBack(Connection& connection, const OneColumn& where, std::int64_t rowId,
                      const StoredValue& value) {
    return guarded(
        connection,
        [&] { return storedValue(connection, where, rowId) ? Revision::RowTaken : Revision::Done; },
        [&] {
            runWith(connection,
                    "INSERT INTO main." + quoted(where.table) + " (rowid, " + quoted(where.column) +
                        ") VALUES (?1, ?2)",
                    rowId, value);
        });
}

Revision takeValueAway(Connection& connection, const OneColumn& where, std::int64_t rowId,
                       const StoredValue& expected) {
    return guarded(
        connection, [&] { return compared(storedValue(connection, where, rowId), expected); },
        [&] {
            connection.execute("DELETE FROM main." + quoted(where.table) + " WHERE rowid = ?",
                               {Value(rowId)});
        });
}

Revision replaceValue(Connection& connection, const OneColumn& where, std::int64_t rowId,
                      const StoredValue& expected, const StoredValue& to) {
    return guarded(
        connection, [&] { return compared(storedValue(connection, where, rowId), expected); },
        [&] {
            runWith(connection,
                    "UPDATE main." + quoted(where.table) + " SET " + quoted(where.column) +
                        " = ?2 WHERE rowid = ?1",
                    rowId, to);
        });
}

std::vector<std::int64_t> rowsNamed(Connection& connection, Lookup which, const std::string& name) {
    const std::string column = quoted(lookupColumn(which));
    Statement rows(connection, "SELECT rowid FROM main." + column + " WHERE quorvane_same_name(" +
                                   column + ", ?) ORDER BY rowid");
    rows.bind(1, Value(name));
    std::vector<std::int64_t> ids;
    while (rows.step()) {
        ids.push_back(rows.integerColumn(0));
    }
    return ids;
}

}  // namespace db::catalogue
