-- The sort keys of Main: one index per view order, on the keys, so opening a view is a
-- single index scan; an index of the rows whose keys are still to be made; and triggers that
-- mark a key to be made again when its text changes, whoever changes it (plain SQL, so the
-- stock sqlite3 tool can still write the file). Run on new catalogues and on older ones
-- given their key columns.
-- The collation the keys were made with (its ICU version and locale): one row.
CREATE TABLE IF NOT EXISTS SortKeyCollation (Description TEXT);

CREATE INDEX IF NOT EXISTS MainByArtist   ON Main (ArtistKey, TitleKey);
CREATE INDEX IF NOT EXISTS MainByTitle    ON Main (TitleKey, ArtistKey);
CREATE INDEX IF NOT EXISTS MainByCategory ON Main (CategoryKey, TitleKey);
CREATE INDEX IF NOT EXISTS MainByFormat   ON Main (FormatKey, ArtistKey, TitleKey);
CREATE INDEX IF NOT EXISTS MainKeysToMake ON Main (ArtistKey)
    WHERE ArtistKey IS NULL OR TitleKey IS NULL OR CategoryKey IS NULL OR FormatKey IS NULL;

CREATE TRIGGER IF NOT EXISTS MainArtistKeyStale AFTER UPDATE OF Artist ON Main
    WHEN NEW.Artist IS NOT OLD.Artist COLLATE BINARY
    BEGIN UPDATE Main SET ArtistKey = NULL WHERE rowid = NEW.rowid; END;
CREATE TRIGGER IF NOT EXISTS MainTitleKeyStale AFTER UPDATE OF Title ON Main
    WHEN NEW.Title IS NOT OLD.Title COLLATE BINARY
    BEGIN UPDATE Main SET TitleKey = NULL WHERE rowid = NEW.rowid; END;
CREATE TRIGGER IF NOT EXISTS MainCategoryKeyStale AFTER UPDATE OF Category ON Main
    WHEN NEW.Category IS NOT OLD.Category COLLATE BINARY
    BEGIN UPDATE Main SET CategoryKey = NULL WHERE rowid = NEW.rowid; END;
CREATE TRIGGER IF NOT EXISTS MainFormatKeyStale AFTER UPDATE OF Format ON Main
    WHEN NEW.Format IS NOT OLD.Format COLLATE BINARY
    BEGIN UPDATE Main SET FormatKey = NULL WHERE rowid = NEW.rowid; END;
