-- The four orders of Main are kept beside it, one table per view (ArtistOrder, TitleOrder,
-- CategoryOrder, FormatOrder), each made by the program: a WITHOUT ROWID table of the ICU sort
-- keys of the view's texts and the record's row id Id, all of it the primary key, e.g.
--   ArtistOrder (ArtistKey BLOB NOT NULL, TitleKey BLOB NOT NULL, Id INTEGER NOT NULL,
--                PRIMARY KEY (ArtistKey, TitleKey, Id)) WITHOUT ROWID
-- The keys are made by the program in the user's collation, so only it writes them. Whatever
-- else writes the file, these tables and triggers let the program find out what it must place
-- again, at no cost to the writer beyond a few lookups.

-- The orders' state, one row: the collation the keys were made with, the first and last row
-- id of Main as the orders know them, Stale when the orders cannot be trusted (1: another
-- program renumbered Main's row ids; 2: it wrote an order's table or the word index's), the
-- last note placed, and how many times the orders were made again with Main renumbered (each
-- copy of the program holding row ids then reads them again).
CREATE TABLE IF NOT EXISTS OrderState (
    Collation TEXT, FirstId INTEGER, LastId INTEGER, Stale INTEGER NOT NULL DEFAULT 0,
    PlacedUpTo INTEGER NOT NULL DEFAULT 0, Renumbered INTEGER NOT NULL DEFAULT 0);

-- Records to place again: Placed 1 with the texts of the places to take away, 0 for a record
-- not placed before. Notes are numbered on and on (a copy of the program reading orders of its
-- own follows them, and knows from PlacedUpTo whether some went before it saw them).
CREATE TABLE IF NOT EXISTS OrderNotes (
    Seq INTEGER PRIMARY KEY AUTOINCREMENT, Id INTEGER, Placed INTEGER,
    Artist, Title, Category, Format);

-- A compaction by another tool (a plain VACUUM, a dump loaded into a new file) renumbers
-- Main's row ids 1, 2, 3 ... without a trigger: before any change of Main the first and the
-- last row id must still be those the orders know, or the orders are stale. A record written
-- over another's row id (INSERT OR REPLACE, UPDATE OR REPLACE) deletes that one without its
-- delete trigger: it is noted before.
CREATE TRIGGER IF NOT EXISTS MainInserting BEFORE INSERT ON Main BEGIN
    UPDATE OrderState SET Stale = 1 WHERE FirstId IS NOT (SELECT min(rowid) FROM Main)
                                       OR LastId IS NOT (SELECT max(rowid) FROM Main);
    INSERT INTO OrderNotes (Id, Placed, Artist, Title, Category, Format)
    SELECT rowid, 1, Artist, Title, Category, Format FROM Main WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER IF NOT EXISTS MainUpdating BEFORE UPDATE ON Main BEGIN
    UPDATE OrderState SET Stale = 1 WHERE FirstId IS NOT (SELECT min(rowid) FROM Main)
                                       OR LastId IS NOT (SELECT max(rowid) FROM Main);
    INSERT INTO OrderNotes (Id, Placed, Artist, Title, Category, Format)
    SELECT rowid, 1, Artist, Title, Category, Format FROM Main
     WHERE rowid = NEW.rowid AND NEW.rowid IS NOT OLD.rowid;
END;
CREATE TRIGGER IF NOT EXISTS MainDeleting BEFORE DELETE ON Main BEGIN
    UPDATE OrderState SET Stale = 1 WHERE FirstId IS NOT (SELECT min(rowid) FROM Main)
                                       OR LastId IS NOT (SELECT max(rowid) FROM Main);
END;

-- After a change: the record noted, and the first and last row id known again.
CREATE TRIGGER IF NOT EXISTS MainAdded AFTER INSERT ON Main BEGIN
    INSERT INTO OrderNotes (Id, Placed) VALUES (NEW.rowid, 0);
    UPDATE OrderState SET FirstId = (SELECT min(rowid) FROM Main),
                          LastId = (SELECT max(rowid) FROM Main);
END;
CREATE TRIGGER IF NOT EXISTS MainChanged AFTER UPDATE ON Main
    WHEN NEW.rowid IS NOT OLD.rowid OR NEW.Artist IS NOT OLD.Artist COLLATE BINARY
      OR NEW.Title IS NOT OLD.Title COLLATE BINARY
      OR NEW.Category IS NOT OLD.Category COLLATE BINARY
      OR NEW.Format IS NOT OLD.Format COLLATE BINARY
    BEGIN
        INSERT INTO OrderNotes (Id, Placed, Artist, Title, Category, Format)
        VALUES (OLD.rowid, 1, OLD.Artist, OLD.Title, OLD.Category, OLD.Format);
        INSERT INTO OrderNotes (Id, Placed) VALUES (NEW.rowid, 0);
        UPDATE OrderState SET FirstId = (SELECT min(rowid) FROM Main),
                              LastId = (SELECT max(rowid) FROM Main)
         WHERE NEW.rowid IS NOT OLD.rowid;
    END;
CREATE TRIGGER IF NOT EXISTS MainDeleted AFTER DELETE ON Main BEGIN
    INSERT INTO OrderNotes (Id, Placed, Artist, Title, Category, Format)
    VALUES (OLD.rowid, 1, OLD.Artist, OLD.Title, OLD.Category, OLD.Format);
    UPDATE OrderState SET FirstId = (SELECT min(rowid) FROM Main),
                          LastId = (SELECT max(rowid) FROM Main);
END;
