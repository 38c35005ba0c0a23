#include "app/edits/History.h"

#include <QLocale>
#include <QUndoCommand>
#include <exception>
#include <functional>
#include <utility>

#include "catalogue/ImportedRecords.h"
#include "catalogue/Orders.h"
#include "catalogue/RecordRevisions.h"

namespace app {
namespace {

using db::catalogue::Revision;

// The step a change is being made as (History::make), while its write runs: the change the
// write notes becomes its part.
QUndoCommand* stepBeingMade = nullptr;

// One change, noted as it was written: the step's first redo (or its part's) writes nothing.
class Change : public QUndoCommand {
  public:
    Change(db::Connection& connection, std::int64_t rowId, const QString& name, const QString& done)
        : QUndoCommand(name, stepBeingMade), connection_(connection), rowId_(rowId), done_(done) {
        if (stepBeingMade) {
            stepBeingMade->setText(name);
            skipped_ = false;  // made by the step's first redo, not by the stack
        }
    }

    // The write, now; nothing when another program stands in its way.
    virtual Revision takeBack() = 0;
    virtual Revision makeAgain() = 0;

    void undo() override {
        if (!std::exchange(skipped_, false)) {
            takeBack();
        }
    }
    void redo() override {
        if (!std::exchange(skipped_, false)) {
            makeAgain();
        }
    }
    void skipNext() { skipped_ = true; }

    std::int64_t rowId() const { return rowId_; }
    QString done() const { return done_; }
    // A sentence on what was left as another program changed it, after a take-back.
    virtual QString leftOut() const { return {}; }
    virtual std::int64_t records() const { return 0; }
    virtual std::optional<db::catalogue::Lookup> list() const { return std::nullopt; }
    virtual QString subject() const { return "record"; }
    virtual bool concernsRecord() const { return true; }

  protected:
    db::Connection& connection_;
    std::int64_t rowId_;

  private:
    QString done_;
    bool skipped_ = true;  // noted after it was written
};

class Added : public Change {
  public:
    Added(db::Connection& connection, std::int64_t rowId, const db::catalogue::StoredRecord& texts)
        : Change(connection, rowId, "Add Record", "Record Added"), texts_(texts) {}
    Revision takeBack() override { return db::catalogue::takeAway(connection_, rowId_, texts_); }
    Revision makeAgain() override { return db::catalogue::putBack(connection_, rowId_, texts_); }

  private:
    db::catalogue::StoredRecord texts_;
};

class Updated : public Change {
  public:
    Updated(db::Connection& connection, std::int64_t rowId,
            const db::catalogue::StoredRecord& before, const db::catalogue::StoredRecord& after)
        : Change(connection, rowId, "Update Record", "Record Updated"),
          before_(before),
          after_(after) {}
    Revision takeBack() override {
        return db::catalogue::replaceFields(connection_, rowId_, after_, before_);
    }
    Revision makeAgain() override {
        return db::catalogue::replaceFields(connection_, rowId_, before_, after_);
    }

  private:
    db::catalogue::StoredRecord before_, after_;
};

class Deleted : public Change {
  public:
    Deleted(db::Connection& connection, std::int64_t rowId,
            const db::catalogue::StoredRecord& texts)
        : Change(connection, rowId, "Delete Record", "Record Deleted"), texts_(texts) {}
    Revision takeBack() override { return db::catalogue::putBack(connection_, rowId_, texts_); }
    Revision makeAgain() override { return db::catalogue::takeAway(connection_, rowId_, texts_); }

  private:
    db::catalogue::StoredRecord texts_;
};

QString recordsCounted(std::int64_t count) {
    return QLocale().toString(static_cast<qlonglong>(count)) +
           (count == 1 ? " Record" : " Records");
}

// An import, by its row ids: taken back where no other program changed a record since.
class Imported : public Change {
  public:
    Imported(db::Connection& connection, const db::catalogue::ImportedRecords& records)
        : Change(connection, records.first, "Import of " + recordsCounted(records.count),
                 recordsCounted(records.count) + " Imported"),
          records_(records) {}
    Revision takeBack() override {
        left_ = db::catalogue::takeImportBack(connection_, records_).left;
        return Revision::Done;
    }
    Revision makeAgain() override { return db::catalogue::putImportBack(connection_, records_); }
    QString leftOut() const override {
        return left_ == 0 ? QString()
                          : " (" + QLocale().toString(static_cast<qlonglong>(left_)) +
                                (left_ == 1 ? " record" : " records") +
                                " changed by another program since left as they are)";
    }
    std::int64_t records() const override { return records_.count; }

  private:
    db::catalogue::ImportedRecords records_;
    std::int64_t left_ = 0;
};

const char* listName(db::catalogue::Lookup list) {
    switch (list) {
        case db::catalogue::Lookup::Artist:
            return "Artist";
        case db::catalogue::Lookup::Category:
            return "Category";
        case db::catalogue::Lookup::Format:
            return "Format";
    }
    return "";
}

// Names added to a list (or, `deleted`, taken from it): all of them or none.
class Listed : public Change {
  public:
    Listed(db::Connection& connection, db::catalogue::Lookup list,
           const std::vector<History::ListedName>& names, bool deleted)
        : Change(connection, 0,
                 QString(deleted ? "Delete from " : "Add to ") + listName(list) + " List",
                 QString(names.size() == 1 ? "Name " : "Names ") +
                     (deleted ? "Deleted from the " : "Added to the ") + listName(list) + " List"),
          list_(list),
          names_(names),
          deleted_(deleted) {}
    Revision takeBack() override { return write(deleted_); }
    Revision makeAgain() override { return write(!deleted_); }
    std::optional<db::catalogue::Lookup> list() const override { return list_; }
    QString subject() const override { return "name"; }
    bool concernsRecord() const override { return false; }

  private:
    Revision write(bool putBack) {
        db::Savepoint unit(connection_);
        for (const auto& [rowId, name] : names_) {
            const Revision revision =
                putBack ? db::catalogue::putValueBack(
                              connection_, db::catalogue::lookupValues(list_), rowId, name)
                        : db::catalogue::takeValueAway(
                              connection_, db::catalogue::lookupValues(list_), rowId, name);
            if (revision != Revision::Done) {
                return revision;  // none written
            }
        }
        unit.release();
        return Revision::Done;
    }

    db::catalogue::Lookup list_;
    std::vector<History::ListedName> names_;
    bool deleted_;
};

// The report title as it was and as it was made; without one before, it was added.
class Titled : public Change {
  public:
    Titled(db::Connection& connection, std::int64_t rowId,
           const std::optional<db::catalogue::StoredValue>& before,
           const db::catalogue::StoredValue& after)
        : Change(connection, rowId, "Change Report Title", "Report Title Changed"),
          before_(before),
          after_(after) {}
    Revision takeBack() override {
        const auto title = db::catalogue::reportTitleValue();
        return before_ ? db::catalogue::replaceValue(connection_, title, rowId_, after_, *before_)
                       : db::catalogue::takeValueAway(connection_, title, rowId_, after_);
    }
    Revision makeAgain() override {
        const auto title = db::catalogue::reportTitleValue();
        return before_ ? db::catalogue::replaceValue(connection_, title, rowId_, *before_, after_)
                       : db::catalogue::putValueBack(connection_, title, rowId_, after_);
    }
    QString subject() const override { return "report title"; }
    bool concernsRecord() const override { return false; }

  private:
    std::optional<db::catalogue::StoredValue> before_;
    db::catalogue::StoredValue after_;
};

// A change made as its step's first redo: `write` runs then, and the change it notes becomes
// the step's one part; noting none, the step is dropped (obsolete). A failure is kept for the
// caller, as the stack cannot pass it on.
class Making : public QUndoCommand {
  public:
    Making(std::function<void()> write, std::exception_ptr& failure)
        : write_(std::move(write)), failure_(failure) {}
    void redo() override {
        if (!write_) {
            QUndoCommand::redo();  // made again: its part writes
            return;
        }
        const auto write = std::exchange(write_, {});
        stepBeingMade = this;
        try {
            write();
        } catch (...) {
            failure_ = std::current_exception();
        }
        stepBeingMade = nullptr;
        setObsolete(childCount() == 0 || failure_);
    }

  private:
    std::function<void()> write_;
    std::exception_ptr& failure_;
};

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
