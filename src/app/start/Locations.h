#pragma once

#include <QString>
#include <QStringList>

// Where a run keeps its catalogue and finds its other files. Pure decisions on paths and
// the file system, without windows, so they are tested on temporary folders.
namespace app {

inline const QString CatalogueFileName = QStringLiteral("Zembo.mdb");
// The catalogue an installed program copies for a user who has none yet: the options, the
// lookup lists and the report title, no recordings.
inline const QString TemplateFileName = QStringLiteral("Zembo-template.mdb");

struct Locations {
    QString appDir;         // the application directory, without a trailing separator
    QString catalogueName;  // the catalogue's file name in appDir
    QString shareDir;       // the installed program's files (may not exist)
    // Where the program's own files are looked for after appDir: the program's folder (a
    // build tree, a portable copy), then shareDir.
    QStringList resourceDirs;
    bool perUser = false;  // appDir is the user's data folder, where a first start copies
};

// The per-user data folder: $XDG_DATA_HOME/quorvane, or ~/.local/share/quorvane when that
// variable is unset, empty or not an absolute path (as the freedesktop rules say).
QString userDataFolder(const QString& xdgDataHome, const QString& home);

// The installed files' folder of a program in `programDir`: <programDir>/../share/quorvane
// (shareRelative is that path from the binary's folder, set by the build for its install
// layout).
QString shareFolder(const QString& programDir, const QString& shareRelative);

// The application directory of this run, in order: the folder of `catalogueFile` when the
// user named one (relative to the working folder); the program's own folder when it holds
// Zembo.mdb (a portable copy, or the build tree); else the per-user data folder.
Locations chooseLocations(const QString& programDir, const QString& catalogueFile,
                          const QString& userFolder, const QString& shareDir);

// Where a file the program reads is: beside the catalogue first (so a user may put their
// own there), then in each of `resourceDirs` in turn. When it is in none, the name beside
// the catalogue, so a message about it names that place.
QString findResource(const QString& appDir, const QStringList& resourceDirs, const QString& name);

}  // namespace app
