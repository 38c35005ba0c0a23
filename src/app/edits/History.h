#pragma once

#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "catalogue/ImportedRecords.h"
#include "catalogue/RecordRevisions.h"
#include "sqlite/Connection.h"

namespace app {

// The session's changes to the catalogue, each one step that can be taken back and made
// again, in order. A change is made as its step's first redo (make), or noted once it was
// written elsewhere (an import, beside the windows); an undo or a redo writes only over
// what this program left there (catalogue/RecordRevisions.h), and says so when another
// program changed or deleted the record since. A change noted after undos clears the steps
// that could be made again.
class History {
  public:
    explicit History(db::Connection& connection);

    // A change made as its step's first redo, so that doing it and making it again are one
    // step's redos: `write` writes it and notes what it wrote (below); noting nothing, it
    // leaves no step. Throws what `write` throws, and then keeps no step.
    void make(const std::function<void()>& write);

    // What was written, noted as a step (or as the part of the step being made).
    void recordAdded(std::int64_t rowId, const db::catalogue::StoredRecord& texts);
    void recordUpdated(std::int64_t rowId, const db::catalogue::StoredRecord& before,
                       const db::catalogue::StoredRecord& after);
    void recordDeleted(std::int64_t rowId, const db::catalogue::StoredRecord& texts);
    // The records an import added, row ids `first` to `last`.
    void recordsImported(std::int64_t first, std::int64_t last);
    // The same in two halves: the records looked at (a while for many; any thread), then
    // the step kept (the windows' thread).
    db::catalogue::ImportedRecords lookAtImport(std::int64_t first, std::int64_t last);
    void keepImport(const db::catalogue::ImportedRecords& records);
    // Names added to or deleted from a lookup list, as stored, by their row ids.
    struct ListedName {
        std::int64_t rowId;
        db::catalogue::StoredValue name;
    };
    // The names of rows of a list as stored now (rows gone are left out).
    std::vector<ListedName> namesAt(db::catalogue::Lookup list,
                                    const std::vector<std::int64_t>& rows) const;
    void namesAdded(db::catalogue::Lookup list, const std::vector<ListedName>& names);
    void namesDeleted(db::catalogue::Lookup list, const std::vector<ListedName>& names);
    // The report title (its row `rowId`) changed, or first written when it had none.
    void titleChanged(std::int64_t rowId, const std::optional<db::catalogue::StoredValue>& before,
                      const db::catalogue::StoredValue& after);
    // Every step forgotten (a delete-all or a repair cannot be taken back).
    void clear();
    // What a question before such a run says of it, a line and a blank one; nothing when
    // there is no step to forget.
    QString clearingWarning() const;

    // "Delete Record": what an undo would take back, a redo make again (empty: nothing).
    QString undoName() const;
    QString redoName() const;
    // How many records the undo would take away at once (an import's), or 0.
    std::int64_t undoRecords() const;
    // The record the undo (`back`) or the redo would write, when the step is one record's.
    std::optional<std::int64_t> rowIdConcerned(bool back) const;

    // What an undo or a redo did: the record concerned, and the status text ("Undo: Record
    // Deleted"); or, when it did nothing, why in a sentence.
    struct Outcome {
        bool done = false;
        std::optional<std::int64_t> rowId;
        QString said;
        std::optional<db::catalogue::Lookup> list;  // a list's step: the list concerned
        bool record = true;                         // false: no record is concerned
    };
    Outcome undo();
    Outcome redo();

    // To follow its changes: read only, so that no step is taken back or made again but
    // through undo() and redo(), which look for a renumbering first.
    const QUndoStack& stack() const { return stack_; }

  private:
    void push(QUndoCommand* change);
    Outcome step(bool back);

    db::Connection& connection_;
    std::uint64_t generation_;  // the row ids' numbering the steps were noted in
    QUndoStack stack_;
};

}  // namespace app
