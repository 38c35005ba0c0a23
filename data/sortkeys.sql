-- The four orders of Main, beside it: one table per view order holding each record's sort
-- keys (ICU sort keys in the user's collation, made by the program) and its row id, its
-- primary key the order itself, so opening a view is one scan and a "begins with" one
-- search. The keys are stored once, in these tables alone: Main keeps only its texts.
-- Triggers in plain SQL note every record whose texts change, whoever changes them (the
-- stock sqlite3 tool can still write and check the file); the program places the noted
-- records again before anything reads an order. A note carries the texts the record was
-- placed by, so its old places are found by their keys.

-- The collation the keys were made with (its ICU version and locale): one row.
CREATE TABLE IF NOT EXISTS SortKeyCollation (Description TEXT);

-- The four order tables (ArtistOrder, TitleOrder, CategoryOrder, FormatOrder) are made by
-- the program from its list of views: WITHOUT ROWID tables of the keys of the view's texts
-- and the record's row id Id, all of them the primary key, e.g.
--   ArtistOrder (ArtistKey BLOB NOT NULL, TitleKey BLOB NOT NULL, Id INTEGER NOT NULL,
--                PRIMARY KEY (ArtistKey, TitleKey, Id)) WITHOUT ROWID

-- Records to place again: Placed 1 with the texts of the places to take away, 0 for a
-- record not placed before.
CREATE TABLE IF NOT EXISTS SortKeysToMake (
    Id INTEGER, Placed INTEGER, Artist, Title, Category, Format);

CREATE TRIGGER IF NOT EXISTS MainAdded AFTER INSERT ON Main
    BEGIN INSERT INTO SortKeysToMake (Id, Placed) VALUES (NEW.rowid, 0); END;
CREATE TRIGGER IF NOT EXISTS MainChanged AFTER UPDATE ON Main
    WHEN NEW.rowid IS NOT OLD.rowid OR NEW.Artist IS NOT OLD.Artist COLLATE BINARY
      OR NEW.Title IS NOT OLD.Title COLLATE BINARY
      OR NEW.Category IS NOT OLD.Category COLLATE BINARY
      OR NEW.Format IS NOT OLD.Format COLLATE BINARY
    BEGIN
        INSERT INTO SortKeysToMake VALUES
            (OLD.rowid, 1, OLD.Artist, OLD.Title, OLD.Category, OLD.Format);
        INSERT INTO SortKeysToMake (Id, Placed) VALUES (NEW.rowid, 0);
    END;
CREATE TRIGGER IF NOT EXISTS MainDeleted AFTER DELETE ON Main
    BEGIN INSERT INTO SortKeysToMake VALUES
        (OLD.rowid, 1, OLD.Artist, OLD.Title, OLD.Category, OLD.Format); END;
-- A record written over another's row id (INSERT OR REPLACE, UPDATE OR REPLACE) deletes that
-- one without its delete trigger: it is noted before. (A note for a row id that turns out
-- not to be replaced only places that record again.)
CREATE TRIGGER IF NOT EXISTS MainReplacing BEFORE INSERT ON Main
    WHEN EXISTS (SELECT 1 FROM Main WHERE rowid = NEW.rowid)
    BEGIN INSERT INTO SortKeysToMake SELECT rowid, 1, Artist, Title, Category, Format
          FROM Main WHERE rowid = NEW.rowid; END;
CREATE TRIGGER IF NOT EXISTS MainReplacingByUpdate BEFORE UPDATE ON Main
    WHEN NEW.rowid IS NOT OLD.rowid AND EXISTS (SELECT 1 FROM Main WHERE rowid = NEW.rowid)
    BEGIN INSERT INTO SortKeysToMake SELECT rowid, 1, Artist, Title, Category, Format
          FROM Main WHERE rowid = NEW.rowid; END;
