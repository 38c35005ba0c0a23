#include "catalogue/RecordRevisions.h"

#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

// Binds the four fields from parameter `first` on, each as the kind it was stored as.
void bindFields(Statement& statement, int first, const StoredRecord& record) {
    for (std::size_t i = 0; i < record.size(); ++i) {
        const int at = first + static_cast<int>(i);
        if (record[i].blob) {
            statement.bindBlob(at, *record[i].value.string());
        } else {
            statement.bind(at, record[i].value);
        }
    }
}

void runWith(Connection& connection, const std::string& sql, std::int64_t rowId,
             const StoredRecord& record) {
    Statement write(connection, sql);
    write.bind(1, Value(rowId));
    bindFields(write, 2, record);
    write.step();
}

// What is stored against what is expected, before a write over it.
Revision check(Connection& connection, std::int64_t rowId, const StoredRecord& expected) {
    const auto stored = storedRecord(connection, rowId);
    if (!stored) {
        return Revision::Gone;
    }
    return *stored == expected ? Revision::Done : Revision::ChangedElsewhere;
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
        auto& field = record[static_cast<std::size_t>(i)];
        field.blob = read.integerColumn(2 * i) != 0;
        field.value =
            field.blob ? Value(std::string(read.blobColumn(2 * i + 1))) : read.column(2 * i + 1);
    }
    return record;
}

Revision putBack(Connection& connection, std::int64_t rowId, const StoredRecord& record) {
    Savepoint unit(connection);
    if (storedRecord(connection, rowId)) {
        return Revision::RowTaken;
    }
    runWith(connection,
            "INSERT INTO main.Main (rowid, " + recordColumnList() + ") VALUES (?1, ?2, ?3, ?4, ?5)",
            rowId, record);
    unit.release();
    return Revision::Done;
}

Revision takeAway(Connection& connection, std::int64_t rowId, const StoredRecord& expected) {
    Savepoint unit(connection);
    if (const Revision found = check(connection, rowId, expected); found != Revision::Done) {
        return found;
    }
    connection.execute("DELETE FROM main.Main WHERE rowid = ?", {Value(rowId)});
    unit.release();
    return Revision::Done;
}

Revision replaceFields(Connection& connection, std::int64_t rowId, const StoredRecord& expected,
                       const StoredRecord& to) {
    Savepoint unit(connection);
    if (const Revision found = check(connection, rowId, expected); found != Revision::Done) {
        return found;
    }
    runWith(connection,
            "UPDATE main.Main SET Artist = ?2, Title = ?3, Category = ?4, Format = ?5 WHERE "
            "rowid = ?1",
            rowId, to);
    unit.release();
    return Revision::Done;
}

std::optional<StoredValue> storedName(Connection& connection, Lookup which, std::int64_t rowId) {
    const std::string column = quoted(lookupColumn(which));
    Statement read(connection, "SELECT typeof(" + column + ") = 'blob', " + column + " FROM main." +
                                   column + " WHERE rowid = ?");
    read.bind(1, Value(rowId));
    if (!read.step()) {
        return std::nullopt;
    }
    StoredValue name;
    name.blob = read.integerColumn(0) != 0;
    name.value = name.blob ? Value(std::string(read.blobColumn(1))) : read.column(1);
    return name;
}

Revision putNameBack(Connection& connection, Lookup which, std::int64_t rowId,
                     const StoredValue& name) {
    Savepoint unit(connection);
    if (storedName(connection, which, rowId)) {
        return Revision::RowTaken;
    }
    const std::string column = quoted(lookupColumn(which));
    Statement insert(connection,
                     "INSERT INTO main." + column + " (rowid, " + column + ") VALUES (?, ?)");
    insert.bind(1, Value(rowId));
    if (name.blob) {
        insert.bindBlob(2, *name.value.string());
    } else {
        insert.bind(2, name.value);
    }
    insert.step();
    unit.release();
    return Revision::Done;
}

Revision takeNameAway(Connection& connection, Lookup which, std::int64_t rowId,
                      const StoredValue& expected) {
    Savepoint unit(connection);
    const auto stored = storedName(connection, which, rowId);
    if (!stored) {
        return Revision::Gone;
    }
    if (*stored != expected) {
        return Revision::ChangedElsewhere;
    }
    connection.execute("DELETE FROM main." + quoted(lookupColumn(which)) + " WHERE rowid = ?",
                       {Value(rowId)});
    unit.release();
    return Revision::Done;
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
