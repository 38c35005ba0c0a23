#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/edits/History.h"
#include "catalogue/Catalogue.h"
#include "catalogue/RecordTransfer.h"
#include "sqlite/Connection.h"
#include "sqlite/Recordset.h"

namespace app {

// Every change a user makes to the catalogue: written here, then kept in the history as one
// step that Undo takes back. The windows say what to change and show the outcome; the writes
// and the steps are made here alone, so they can be driven without a window.
//
// A write that fails throws db::DbError and notes nothing. A step that cannot be noted (its
// look at the file failed) leaves the change made and only not undoable.
class CatalogueEdits {
  public:
    explicit CatalogueEdits(db::Connection& connection);

    History& history() { return history_; }

    // A record's four texts: artist, title, category, format. Each is stored as keptText
    // keeps it: without blanks at either end, cut to its width (RecordWidths).
    using Texts = std::array<QString, 4>;
    // The texts to write over the current record's; the others are left as stored.
    using Changes = std::array<std::optional<QString>, 4>;
    static constexpr std::array<qsizetype, 4> RecordWidths = {30, 30, 15, 5};

    // A new record through `records` (which then holds it); its row id.
    std::int64_t addRecord(db::Recordset& records, const Texts& texts);
    // The current record of `records` changed.
    void updateRecord(db::Recordset& records, const Changes& changes);
    // The current record of `records` deleted.
    void deleteRecord(db::Recordset& records);

    // An import: `insert` adds records at the end of the catalogue, all one step. The step
    // is looked at where the import runs (beside the windows, for many records) and kept
    // by keepImport on the windows' thread.
    using ImportStep = std::optional<db::catalogue::ImportedRecords>;
    template <typename Insert>
    auto importRecords(Insert&& insert, ImportStep& step) {
        const std::int64_t lastBefore = db::catalogue::lastRowId(connection_);
        auto inserted = insert();
        step = lookAtImport(lastBefore);
        return inserted;
    }
    void keepImport(const ImportStep& step);
    // An import the user stopped after it was written: its records taken away again, the
    // step gone (a few another program changed meanwhile would stay).
    void takeBackImport(ImportStep& step);

    // A name added to a list through its recordset (which then holds it).
    void addName(db::Recordset& list, db::catalogue::Lookup which, const QString& name);
    // Names added to a list at once, all or none, as one step.
    void addNames(db::catalogue::Lookup which, const std::vector<std::string>& names);
    // The list's first row holding `name` (as a name) deleted, or, `every`, each such row.
    void deleteName(db::Recordset& list, db::catalogue::Lookup which, const QString& name,
                    bool every);

    // The report title (the only row of `title`, made when there is none) set to `text`.
    void setReportTitle(db::Recordset& title, const QString& text);

  private:
    ImportStep lookAtImport(std::int64_t lastBefore);
    std::vector<History::ListedName> namesAt(db::catalogue::Lookup which,
                                             const std::vector<std::int64_t>& rows);

    db::Connection& connection_;
    History history_;
};

}  // namespace app
