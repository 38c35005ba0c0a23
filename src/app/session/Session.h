#pragma once

#include <QString>
#include <cstdint>

#include "app/edits/CatalogueEdits.h"
#include "app/start/Locations.h"
#include "sqlite/Connection.h"
#include "sqlite/Recordset.h"

namespace app {

// The catalogue open in this run of the program: where its file is, its one connection, the
// recordsets every window works on, the user's edits with their history, the view to go back
// to and the search's condition, and the tally of records. Closed in one place.
struct Session {
    QString AppDir;  // the application directory (the catalogue's), ending in a separator
    QString CatalogueName = CatalogueFileName;  // the catalogue's file in AppDir

    db::Connection cnMain;
    db::Recordset rsMain;
    db::Recordset rsSearch;
    db::Recordset rsArtist;
    db::Recordset rsCategory;
    db::Recordset rsFormat;
    db::Recordset rsReportTitle;  // while the report title window is open
    // Every change the user makes to the catalogue is written there, and kept for Undo.
    CatalogueEdits edits{cnMain};

    QString SavedView;  // the view a search returns to
    void saveViewName() { SavedView = QString::fromStdString(rsMain.index()); }
    QString ReportFilter;    // the search's condition as the reports read it
    std::int64_t tally = 0;  // the records the main window counts

    QString path() const { return AppDir + CatalogueName; }
    // The file at `path()` opened; the recordsets are opened by those who read them.
    void open() { cnMain.open(path().toStdString()); }
    // Every recordset on the catalogue, then its connection: nothing reads the file after.
    // The steps noted are forgotten: the file opened next may not be this one.
    void close() {
        edits.history().clear();
        for (db::Recordset* records :
             {&rsMain, &rsSearch, &rsArtist, &rsCategory, &rsFormat, &rsReportTitle}) {
            records->close();
        }
        cnMain.close();
    }
};

}  // namespace app
