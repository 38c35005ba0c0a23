-- What a new catalogue starts with.
INSERT INTO Options (option, optValue) VALUES (1, '0'), (2, '-1'), (3, '-1');

-- Formats are kept to five characters: a record stores at most five.
INSERT INTO Format (Format) VALUES
    ('CD'), ('LP'), ('EP'), ('MC'), ('DVD'), ('SACD'), ('MP3'), ('FLAC'), ('45rpm'), ('Other');

-- Categories are kept to five characters: the category editor stores at most five.
INSERT INTO Category (Category) VALUES
    ('Blues'), ('Class'), ('Elect'), ('Folk'), ('Funk'), ('Jazz'), ('Latin'), ('Metal'), ('Pop'),
    ('Punk'), ('Rap'), ('Rock'), ('Soul'), ('World'), ('Other');

INSERT INTO ReportTitle (Title) VALUES ('My Recording Collection');
