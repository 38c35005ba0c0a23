#pragma once

// The kinds of step the history keeps: each change's write to take it back and to make it
// again, and the step a change is made as (History::make). For History.cpp alone.
#include <QLocale>
#include <QUndoCommand>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/edits/History.h"
#include "catalogue/ImportedRecords.h"
#include "catalogue/RecordRevisions.h"

namespace app::steps {

using db::catalogue::Revision;

// The step a change is being made as (History::make), while its write runs: the change the
// write notes becomes its part.
inline QUndoCommand* stepBeingMade = nullptr;

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

inline QString recordsCounted(std::int64_t count) {
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

inline const char* listName(db::catalogue::Lookup list) {
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

}  // namespace app::steps
