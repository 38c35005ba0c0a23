#pragma once

namespace testing {

// A catalogue as it was before its sort keys: the key columns, their indexes and triggers
// gone, the views' indexes on the texts again. Plain SQL, for the stock tool or a connection.
inline constexpr const char* WithoutSortKeysSql =
    "DROP INDEX MainByArtist; DROP INDEX MainByTitle; DROP INDEX MainByCategory;"
    "DROP INDEX MainByFormat; DROP INDEX MainKeysToMake;"
    "DROP TRIGGER MainArtistKeyStale; DROP TRIGGER MainTitleKeyStale;"
    "DROP TRIGGER MainCategoryKeyStale; DROP TRIGGER MainFormatKeyStale;"
    "ALTER TABLE Main DROP COLUMN ArtistKey; ALTER TABLE Main DROP COLUMN TitleKey;"
    "ALTER TABLE Main DROP COLUMN CategoryKey; ALTER TABLE Main DROP COLUMN FormatKey;"
    "CREATE INDEX MainByArtist ON Main (Artist, Title);"
    "CREATE INDEX MainByTitle ON Main (Title, Artist);"
    "CREATE INDEX MainByCategory ON Main (Category, Title);"
    "CREATE INDEX MainByFormat ON Main (Format, Artist, Title);";

}  // namespace testing
