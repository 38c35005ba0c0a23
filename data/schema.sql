-- The catalogue file. The program orders and matches names by the user's collation, through
-- the orders kept beside Main (orders.sql); NOCASE is how other tools compare the columns.
-- Widths the program writes: Main.Artist 30, Title 30, Category 15, Format 5;
-- Artist.Artist 30 from the editor (an artist added while entering a record is kept
-- whole); Category.Category 5; Format.Format 15; ReportTitle.Title as typed.
CREATE TABLE Main (
    Artist   TEXT COLLATE NOCASE,
    Title    TEXT COLLATE NOCASE,
    Category TEXT COLLATE NOCASE,
    Format   TEXT COLLATE NOCASE
);

CREATE TABLE Artist      (Artist   TEXT COLLATE NOCASE);
CREATE TABLE Category    (Category TEXT COLLATE NOCASE);
CREATE TABLE Format      (Format   TEXT COLLATE NOCASE);
CREATE TABLE ReportTitle (Title    TEXT);
-- option: 1 Auto Add Artist, 2 Bookmark, 3 Print to Screen; optValue "-1" on, "0" off.
CREATE TABLE Options     (option INTEGER, optValue TEXT);
