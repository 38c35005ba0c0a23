// Deleting every record: two questions, a run the user can stop with Esc (nothing is then
// deleted), the deletion committed as one, and the file compacted afterwards.
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/WorkBeside.h"
#include "windows/main/FrmMain.h"
#include "windows/main/FrmMainRuns.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

constexpr std::uint32_t EventsEveryMs = 50;

const QString FirstWarning =
    "This must be an UN-INTERRUPTED process.\r\nIf the database is extremely large this could "
    "take some time.\r\n\r\n";
const QString FirstQuestion = "Do you really want to Delete all records?";
const QString SecondQuestion =
    "Last chance to change your mind  the Esc key stops the deletion process at any "
    "time\r\nDo you really want to Delete all records?";

const QString NoneDeleted = "The records could not be deleted; none was.\r\n";

}  // namespace

void FrmMain::mnuFileDeleteAll_Click() {
    DeleteAllRecords();
}

bool FrmMain::reallyCancelDeleteAll() {
    return desktop_.messageBox("Really Cancel Delete Process?", Buttons::YesNo, Icon::Question) ==
           Answer::Yes;
}

void FrmMain::DeleteAllRecords() {
    auto& s = state_;
    s.DeleteAllRunning = true;
    s.DeleteAllCancel = false;
    struct Ended {
        app::AppState& s;
        ~Ended() { s.DeleteAllRunning = false; }
    } ended{s};
    if (refusedAsReadOnly()) {
        return;
    }
    for (const QString& question :
         {FirstWarning + history().clearingWarning() + FirstQuestion, SecondQuestion}) {
        desktop_.beep();
        if (desktop_.messageBox(question, Buttons::YesNo, Icon::Question, "Delete all Records") !=
            Answer::Yes) {
            return;
        }
    }
    if (!offerToSaveEdit()) {  // the catalogue is opened again afterwards
        return;
    }
    if (const QString holder = heldByAnotherProgram(); !holder.isEmpty()) {
        desktop_.messageBox(NoneDeleted + holder, Buttons::Ok, Icon::Exclamation);
        return;
    }
    lblMsgBar1->setText("Deleting records...");
    bool empty = false;
    app::resumeNext([&] { empty = s.rsMain.recordCount() == 0; });
    if (empty) {
        lblMsgBar1->setText("Database empty");
        return;
    }
    const OptionMarks marks = optionMarks();
    SetBusyPointer(true);
    std::optional<HeldForRun> held(std::in_place, *this);
    const DeleteAllRun run = runDeleteAll();
    if (run.outcome == DeleteAllRun::Stopped) {
        lblMsgBar1->setText("Delete Interupted");
    } else if (run.outcome == DeleteAllRun::Deleted) {
        RepairCompactDatabase(false);
        bool nowEmpty = false;
        app::resumeNext([&] { nowEmpty = s.rsMain.recordCount() == 0; });
        lblMsgBar1->setText(nowEmpty ? "Database empty" : "");
    } else {
        desktop_.messageBox(NoneDeleted + run.failure, Buttons::Ok, Icon::Exclamation);
        lblMsgBar1->clear();
    }
    // Opened afresh in the Artist view, the option marks as they were, the tally counted.
    s.rsMain.close();
    closeCatalogue();
    InitializeDatabase();
    restoreOptionMarks(marks);
    DisplayRecord();
    held.reset();
    CmdAdd->setFocus();
    SetBusyPointer(false);
    recountTally();
    if (closeAfterDeleteAll_) {
        close();
        return;
    }
    refreshBrowse();
}

FrmMain::DeleteAllRun FrmMain::runDeleteAll() {
    auto& s = state_;
    QString failure = markAllRecords();
    if (failure.isEmpty() && s.DeleteAllCancel) {
        app::resumeNext([&] { s.rsMain.cancelBatch(); });
        return {DeleteAllRun::Stopped, {}};
    }
    if (failure.isEmpty()) {
        try {
            // One statement and the commit, a second or two on a large catalogue: done beside
            // the events, the windows held and reading nothing. The catalogue is opened
            // afresh afterwards, which gives the connection its wait notice again (the notice
            // shows the pointer, which only this thread may do).
            s.cnMain.setWaitNotice({});
            app::runBesideEvents(desktop_, [&] { s.rsMain.updateBatch(); });
            return {DeleteAllRun::Deleted, {}};
        } catch (const db::DbError& error) {
            failure = QString::fromStdString(error.description);
            app::resumeNext([&] { s.rsMain.cancelBatch(); });
        }
    }
    return {DeleteAllRun::Failed, failure};
}

// Marks every record for deletion in one batch, letting events run every 50 ms so that Esc
// can stop the run; only Esc reaches the windows meanwhile (they are held). Returns what failed, if
// anything (the batch is then dropped).
QString FrmMain::markAllRecords() {
    auto& s = state_;
    QString failure;
    markingForDeleteAll_ = true;
    try {
        s.rsMain.open(s.cnMain, db::catalogue::everyRecord(), db::CursorType::Keyset,
                      db::LockType::BatchOptimistic);
        std::uint32_t lastEvents = desktop_.tickCount();
        for (bool first = true; !s.rsMain.eof(); first = false) {
            if (first || desktop_.tickCount() - lastEvents >= EventsEveryMs) {
                showTally();
                desktop_.processEvents();
                lastEvents = desktop_.tickCount();
            }
            s.rsMain.deleteCurrent();
            s.rsMain.moveNext();
            --RecordTally;
            if (s.DeleteAllCancel) {
                if (stopDeleteAllConfirmed_ || reallyCancelDeleteAll()) {
                    break;
                }
                s.DeleteAllCancel = false;
            }
        }
        showTally();
    } catch (const db::DbError& error) {
        failure = QString::fromStdString(error.description);
        app::resumeNext([&] { s.rsMain.cancelBatch(); });
    }
    markingForDeleteAll_ = false;
    stopDeleteAllConfirmed_ = false;
    return failure;
}

}  // namespace windows
