#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "app/Modes.h"
#include "app/edits/CatalogueEdits.h"
#include "app/start/Locations.h"
#include "platform/Desktop.h"
#include "sqlite/Connection.h"
#include "sqlite/Recordset.h"

namespace app {

// The state every window shares for the whole run: the open catalogue, the flags that
// tie the windows together, and the desktop they talk to. One instance, passed to each
// window's constructor.
struct AppState {
    explicit AppState(platform::Desktop& desktop) : desktop(desktop) {}

    platform::Desktop& desktop;

    // The catalogue: one connection and the recordsets every window works on.
    db::Connection cnMain;
    db::Recordset rsMain;
    db::Recordset rsSearch;
    db::Recordset rsArtist;
    db::Recordset rsCategory;
    db::Recordset rsFormat;
    db::Recordset rsReportTitle;  // while the report title window is open
    // Every change the user makes to the catalogue is written there, and kept for Undo.
    CatalogueEdits edits{cnMain};

    QString AppDir;  // the application directory (the catalogue's), ending in a separator
    QString CatalogueName = CatalogueFileName;  // the catalogue's file in AppDir
    // Where the program's own files are looked for after AppDir, in order: the program's
    // folder, then the installed files (app::Locations::resourceDirs).
    QStringList ResourceDirs;
    // Browsing, adding, searching or running, and which commands each leaves to the user.
    ModeMachine Modes;
    bool DisplayingRecord = false;
    std::optional<bool> AutoAddArtist;  // unset counts as off
    bool BookmarkPending = false;
    std::optional<std::int64_t> SavedBookmark;
    std::optional<std::int64_t> ReturnBookmark;
    QString SavedView;
    QString VersionText;
    QString NoticeText;
    QString CompanyText;

    QString ReportFilter;

    bool Ended = false;  // set once the program has been told to end

    bool autoAddArtistOn() const { return AutoAddArtist.value_or(false); }

    // Every recordset on the catalogue, then its connection: nothing reads the file after.
    void closeCatalogue() {
        for (db::Recordset* records :
             {&rsMain, &rsSearch, &rsArtist, &rsCategory, &rsFormat, &rsReportTitle}) {
            records->close();
        }
        cnMain.close();
    }
};

}  // namespace app
