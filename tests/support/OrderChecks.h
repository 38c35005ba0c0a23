#pragma once

#include <string>

namespace testing {

// A catalogue as it was before its sort keys: the orders' tables and triggers gone, the
// views' indexes on the texts again. Plain SQL, for the stock tool or a connection.
inline constexpr const char* WithoutSortKeysSql =
    "DROP TRIGGER IF EXISTS MainInserting; DROP TRIGGER IF EXISTS MainUpdating;"
    "DROP TRIGGER IF EXISTS MainDeleting; DROP TRIGGER IF EXISTS MainAdded;"
    "DROP TRIGGER IF EXISTS MainChanged; DROP TRIGGER IF EXISTS MainDeleted;"
    "DROP TABLE IF EXISTS ArtistOrder; DROP TABLE IF EXISTS TitleOrder;"
    "DROP TABLE IF EXISTS CategoryOrder; DROP TABLE IF EXISTS FormatOrder;"
    "DROP TABLE IF EXISTS OrderNotes; DROP TABLE IF EXISTS OrderState;"
    "CREATE INDEX MainByArtist ON Main (Artist, Title);"
    "CREATE INDEX MainByTitle ON Main (Title, Artist);"
    "CREATE INDEX MainByCategory ON Main (Category, Title);"
    "CREATE INDEX MainByFormat ON Main (Format, Artist, Title);";

// A catalogue as the program kept its keys before they had tables of their own: in columns
// of Main, indexed there, with triggers that mark a changed text's key to be made. Run on a
// catalogue without keys (WithoutSortKeysSql); the keys are garbage, as never made.
inline constexpr const char* KeysInMainSql =
    "DROP INDEX MainByArtist; DROP INDEX MainByTitle; DROP INDEX MainByCategory;"
    "DROP INDEX MainByFormat;"
    "ALTER TABLE Main ADD COLUMN ArtistKey BLOB; ALTER TABLE Main ADD COLUMN TitleKey BLOB;"
    "ALTER TABLE Main ADD COLUMN CategoryKey BLOB; ALTER TABLE Main ADD COLUMN FormatKey BLOB;"
    "UPDATE Main SET ArtistKey = X'01', TitleKey = X'02';"
    "CREATE TABLE SortKeyCollation (Description TEXT);"
    "INSERT INTO SortKeyCollation VALUES ('an older collation');"
    "CREATE INDEX MainByArtist ON Main (ArtistKey, TitleKey);"
    "CREATE INDEX MainByTitle ON Main (TitleKey, ArtistKey);"
    "CREATE INDEX MainByCategory ON Main (CategoryKey, TitleKey);"
    "CREATE INDEX MainByFormat ON Main (FormatKey, ArtistKey, TitleKey);"
    "CREATE INDEX MainKeysToMake ON Main (ArtistKey) WHERE ArtistKey IS NULL;"
    "CREATE TRIGGER MainArtistKeyStale AFTER UPDATE OF Artist ON Main "
    "BEGIN UPDATE Main SET ArtistKey = NULL WHERE rowid = NEW.rowid; END;";

// How many places in the four orders are wrong: a record without its place (the keys the
// collation makes of its texts now, and its row id), or a place more than the records. Zero
// when the orders are right. Needs quorvane_sort_key, so run on the program's connection.
inline std::string misplacedSql() {
    struct Order {
        const char* table;
        const char* texts[3];
    };
    const Order orders[] = {{"ArtistOrder", {"Artist", "Title", nullptr}},
                            {"TitleOrder", {"Title", "Artist", nullptr}},
                            {"CategoryOrder", {"Category", "Title", nullptr}},
                            {"FormatOrder", {"Format", "Artist", "Title"}}};
    std::string sql = "SELECT 0";
    for (const Order& order : orders) {
        const std::string table = order.table;
        std::string match;
        for (const char* text : order.texts) {
            if (text) {
                match += "o." + std::string(text) + "Key = quorvane_sort_key(m." + text + ") AND ";
            }
        }
        sql += " + (SELECT count(*) FROM Main m WHERE NOT EXISTS (SELECT 1 FROM " + table +
               " o WHERE " + match + "o.Id = m.rowid))" + " + abs((SELECT count(*) FROM " + table +
               ") - (SELECT count(*) FROM Main))";
    }
    return sql;
}

// The orders' tables, state and notes, and the triggers on Main (six) and on each order
// (three): "6,18" when they are all there.
inline constexpr const char* OrderObjectsSql =
    "SELECT (SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('ArtistOrder', "
    "'TitleOrder', 'CategoryOrder', 'FormatOrder', 'OrderState', 'OrderNotes')) || ',' || "
    "(SELECT count(*) FROM sqlite_schema WHERE type = 'trigger' AND tbl_name IN ('Main', "
    "'ArtistOrder', 'TitleOrder', 'CategoryOrder', 'FormatOrder'))";

// The artists in the order the artist view reads them.
inline constexpr const char* ArtistsInOrderSql =
    "SELECT Artist FROM ArtistOrder JOIN Main ON Main.rowid = ArtistOrder.Id "
    "ORDER BY ArtistKey, TitleKey, Id";

}  // namespace testing
