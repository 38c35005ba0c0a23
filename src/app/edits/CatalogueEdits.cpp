#include "app/edits/CatalogueEdits.h"

#include "app/text/Characters.h"
#include "catalogue/ImportedRecords.h"
#include "catalogue/RecordRevisions.h"
#include "sqlite/DbError.h"

namespace app {
namespace {

using db::catalogue::Lookup;
using db::catalogue::StoredRecord;

std::string recordField(std::size_t field, const QString& text) {
    return keptText(text, CatalogueEdits::RecordWidths[field]).toStdString();
}

// After a write: the step is noted unless the look at what was written fails, which leaves
// the change made and only not undoable.
template <typename Note>
void noteWritten(Note&& note) {
    try {
        note();
    } catch (const db::DbError&) {
    }
}

// An add or update through a recordset: a failed one is cancelled, so the recordset is
// not left half-edited.
template <typename Write>
void writeThrough(db::Recordset& records, Write&& write) {
    try {
        write();
        records.update();
    } catch (const db::DbError&) {
        records.cancelUpdate();
        throw;
    }
}

}  // namespace

CatalogueEdits::CatalogueEdits(db::Connection& connection)
    : connection_(connection), history_(connection) {}

std::int64_t CatalogueEdits::addRecord(db::Recordset& records, const Texts& texts) {
    std::int64_t rowId = 0;
    history_.make([&] {
        writeThrough(records, [&] {
            records.addNew();
            for (std::size_t i = 0; i < texts.size(); ++i) {
                records.setField(std::string(db::RecordColumns[i]), recordField(i, texts[i]));
            }
        });
        rowId = connection_.lastInsertRowId();
        noteWritten([&] {
            if (const auto added = db::catalogue::storedRecord(connection_, rowId)) {
                history_.recordAdded(rowId, *added);
            }
        });
    });
    return rowId;
}

// Only the texts changed are written; the rest stay as stored, whatever their kind.
void CatalogueEdits::updateRecord(db::Recordset& records, const Changes& changes) {
    history_.make([&] {
        const std::int64_t rowId = records.bookmark();
        const auto before = db::catalogue::storedRecord(connection_, rowId);
        writeThrough(records, [&] {
            for (std::size_t i = 0; i < changes.size(); ++i) {
                if (changes[i]) {
                    records.setField(std::string(db::RecordColumns[i]),
                                     recordField(i, *changes[i]));
                }
            }
        });
        noteWritten([&] {
            const auto after = db::catalogue::storedRecord(connection_, rowId);
            if (before && after && records.bookmark() == rowId) {
                history_.recordUpdated(rowId, *before, *after);
            }
        });
    });
}

void CatalogueEdits::deleteRecord(db::Recordset& records) {
    history_.make([&] {
        const std::int64_t rowId = records.bookmark();
        const auto deleted = db::catalogue::storedRecord(connection_, rowId);
        records.deleteCurrent();
        if (deleted) {
            history_.recordDeleted(rowId, *deleted);
        }
    });
}

CatalogueEdits::ImportStep CatalogueEdits::lookAtImport(std::int64_t lastBefore) {
    ImportStep step;
    noteWritten([&] {
        const std::int64_t last = db::catalogue::lastRowId(connection_);
        if (last > lastBefore) {
            step = history_.lookAtImport(lastBefore + 1, last);
        }
    });
    return step;
}

void CatalogueEdits::takeBackImport(ImportStep& step) {
    if (step) {
        db::catalogue::takeImportBack(connection_, *step);
        step.reset();
    }
}

void CatalogueEdits::keepImport(const ImportStep& step) {
    if (step) {
        history_.keepImport(*step);
    }
}

std::vector<History::ListedName> CatalogueEdits::namesAt(Lookup which,
                                                         const std::vector<std::int64_t>& rows) {
    return history_.namesAt(which, rows);
}

void CatalogueEdits::addName(db::Recordset& list, Lookup which, const QString& name) {
    history_.make([&] {
        writeThrough(list, [&] {
            list.addNew();
            list.setField(db::catalogue::lookupColumn(which), name.toStdString());
        });
        noteWritten(
            [&] { history_.namesAdded(which, namesAt(which, {connection_.lastInsertRowId()})); });
    });
}

void CatalogueEdits::addNames(Lookup which, const std::vector<std::string>& names) {
    history_.make([&] {
        std::vector<std::int64_t> added;
        db::Transaction transaction(connection_);
        for (const std::string& name : names) {
            db::catalogue::addLookupValue(connection_, which, name);
            added.push_back(connection_.lastInsertRowId());
        }
        transaction.commit();
        noteWritten([&] { history_.namesAdded(which, namesAt(which, added)); });
    });
}

void CatalogueEdits::deleteName(db::Recordset& list, Lookup which, const QString& name,
                                bool every) {
    history_.make([&] {
        const std::string text = name.toStdString();
        if (every) {
            const auto names = namesAt(which, db::catalogue::rowsNamed(connection_, which, text));
            db::catalogue::deleteLookupValue(connection_, which, text);
            list.requery();
            history_.namesDeleted(which, names);
            return;
        }
        list.moveFirst();
        list.findName(db::catalogue::lookupColumn(which), text);
        const auto names = namesAt(which, {list.bookmark()});
        list.deleteCurrent();
        history_.namesDeleted(which, names);
    });
}

void CatalogueEdits::setReportTitle(db::Recordset& title, const QString& text) {
    history_.make([&] {
        const auto table = db::catalogue::reportTitleValue();
        std::optional<db::catalogue::StoredValue> before;
        std::int64_t rowId = 0;
        writeThrough(title, [&] {
            if (title.eof()) {
                title.addNew();
            } else {
                rowId = title.bookmark();
                before = db::catalogue::storedValue(connection_, table, rowId);
            }
            title.setField("Title", text.toStdString());
        });
        noteWritten([&] {
            rowId = before ? rowId : connection_.lastInsertRowId();
            if (const auto after = db::catalogue::storedValue(connection_, table, rowId)) {
                history_.titleChanged(rowId, before, *after);
            }
        });
    });
}

}  // namespace app
