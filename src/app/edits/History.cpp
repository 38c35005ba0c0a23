#include "app/edits/History.h"

#include "app/edits/HistorySteps.h"
#include "catalogue/Orders.h"

namespace app {
namespace {

using namespace steps;

// The stack's step at `index`, as noted here: a change, or a step made with it as its part.
Change* changeAt(const QUndoStack& stack, int index) {
    const QUndoCommand* step = stack.command(index);
    return static_cast<Change*>(
        const_cast<QUndoCommand*>(step->childCount() > 0 ? step->child(0) : step));
}

// Why a step was not taken, and that it is passed over so the others can still be.
QString refusal(Revision revision, bool back, const QString& subject) {
    const QString doing = back ? "taking it back" : "making it again";
    const QString passedOver = back ? " This change is passed over: Undo goes on with the one "
                                      "before it."
                                    : " This change is passed over: Redo goes on with the one "
                                      "after it.";
    switch (revision) {
        case Revision::ChangedElsewhere:
            return "The " + subject + " was changed by another program since: " + doing +
                   " would write over that change, so nothing was done." + passedOver;
        case Revision::Gone:
            return "The " + subject +
                   " was deleted by another program since: there is nothing to " +
                   (back ? "take back." : "make again.") + passedOver;
        case Revision::RowTaken:
            return "Another " + subject + " was stored in its place since: " + doing +
                   " would write over it, so nothing was done." + passedOver;
        case Revision::Done:
            break;
    }
    return {};
}

}  // namespace

History::History(db::Connection& connection)
    : connection_(connection), generation_(connection.rowIdGeneration()) {}

// The first step is noted in the numbering the row ids have now; a renumbering after it is
// found out by an undo or a redo.
void History::push(QUndoCommand* change) {
    if (stepBeingMade) {
        return;  // a part of the step being made, which the stack already takes
    }
    if (stack_.count() == 0) {
        generation_ = connection_.rowIdGeneration();
    }
    stack_.push(change);
}

void History::make(const std::function<void()>& write) {
    if (stack_.count() == 0) {
        generation_ = connection_.rowIdGeneration();
    }
    std::exception_ptr failure;
    stack_.push(new Making(write, failure));
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void History::recordAdded(std::int64_t rowId, const db::catalogue::StoredRecord& texts) {
    push(new Added(connection_, rowId, texts));
}

void History::recordUpdated(std::int64_t rowId, const db::catalogue::StoredRecord& before,
                            const db::catalogue::StoredRecord& after) {
    if (before != after) {
        push(new Updated(connection_, rowId, before, after));
    }
}

void History::recordDeleted(std::int64_t rowId, const db::catalogue::StoredRecord& texts) {
    push(new Deleted(connection_, rowId, texts));
}

void History::recordsImported(std::int64_t first, std::int64_t last) {
    keepImport(lookAtImport(first, last));
}

db::catalogue::ImportedRecords History::lookAtImport(std::int64_t first, std::int64_t last) {
    return db::catalogue::noteImported(connection_, first, last);
}

void History::keepImport(const db::catalogue::ImportedRecords& records) {
    if (records.count > 0) {
        push(new Imported(connection_, records));
    }
}

std::vector<History::ListedName> History::namesAt(db::catalogue::Lookup list,
                                                  const std::vector<std::int64_t>& rows) const {
    std::vector<ListedName> names;
    for (const std::int64_t rowId : rows) {
        if (const auto name =
                db::catalogue::storedValue(connection_, db::catalogue::lookupValues(list), rowId)) {
            names.push_back({rowId, *name});
        }
    }
    return names;
}

void History::namesAdded(db::catalogue::Lookup list, const std::vector<ListedName>& names) {
    if (!names.empty()) {
        push(new Listed(connection_, list, names, false));
    }
}

void History::namesDeleted(db::catalogue::Lookup list, const std::vector<ListedName>& names) {
    if (!names.empty()) {
        push(new Listed(connection_, list, names, true));
    }
}

void History::titleChanged(std::int64_t rowId,
                           const std::optional<db::catalogue::StoredValue>& before,
                           const db::catalogue::StoredValue& after) {
    if (before != after) {
        push(new Titled(connection_, rowId, before, after));
    }
}

std::int64_t History::undoRecords() const {
    return stack_.canUndo() ? changeAt(stack_, stack_.index() - 1)->records() : 0;
}

QString History::clearingWarning() const {
    if (stack_.canUndo()) {
        return "This cannot be undone, and the changes made before can no longer be taken "
               "back.\r\n\r\n";
    }
    return stack_.canRedo() ? "This cannot be undone, and the changes taken back can no longer "
                              "be made again.\r\n\r\n"
                            : QString();
}

void History::clear() {
    stack_.clear();
    if (connection_.isOpen()) {
        db::catalogue::forgetImports(connection_);
    }
    generation_ = connection_.rowIdGeneration();
}

QString History::undoName() const {
    return stack_.canUndo() ? stack_.undoText() : QString();
}

QString History::redoName() const {
    return stack_.canRedo() ? stack_.redoText() : QString();
}

History::Outcome History::undo() {
    return step(true);
}

History::Outcome History::redo() {
    return step(false);
}

std::optional<std::int64_t> History::rowIdConcerned(bool back) const {
    if (back ? !stack_.canUndo() : !stack_.canRedo()) {
        return std::nullopt;
    }
    const Change* change = changeAt(stack_, back ? stack_.index() - 1 : stack_.index());
    return change->concernsRecord() ? std::optional(change->rowId()) : std::nullopt;
}

// The write is made first. A step another program stands in the way of writes nothing and is
// passed over, so that it does not keep the others from being taken. Row ids another program
// renumbered since (a compaction) are not the records the steps name: the steps go.
History::Outcome History::step(bool back) {
    if (back ? !stack_.canUndo() : !stack_.canRedo()) {
        return {};
    }
    db::catalogue::bringOrdersTrue(connection_);  // finds a renumbering out
    if (connection_.rowIdGeneration() != generation_) {
        clear();
        return {false, std::nullopt,
                back ? "Another program compacted the catalogue since: the changes made before "
                       "can no longer be taken back."
                     : "Another program compacted the catalogue since: the changes taken back "
                       "can no longer be made again.",
                std::nullopt};
    }
    Change* change = changeAt(stack_, back ? stack_.index() - 1 : stack_.index());
    const Revision revision = back ? change->takeBack() : change->makeAgain();
    change->skipNext();
    back ? stack_.undo() : stack_.redo();
    if (revision != Revision::Done) {
        return {false, change->rowId(), refusal(revision, back, change->subject()), std::nullopt};
    }
    return {true, change->rowId(),
            (back ? "Undo: " + change->done() + change->leftOut() : "Redo: " + change->done()),
            change->list(), change->concernsRecord()};
}

}  // namespace app
