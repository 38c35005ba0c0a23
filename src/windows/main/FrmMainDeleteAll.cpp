// Deleting every record: two questions, a run the user can stop with Esc (nothing is then
// deleted), the deletion committed as one, and the file compacted afterwards.
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/runs/Runner.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

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

void FrmMain::DeleteAllRecords() {
    auto& s = state_;
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
    app::resumeNext([&] { empty = s.session.rsMain.recordCount() == 0; });
    if (empty) {
        lblMsgBar1->setText("Database empty");
        return;
    }
    const OptionMarks marks = optionMarks();
    // The windows held until the catalogue is open again.
    std::optional<app::Runner::Run> held(std::in_place, *runner_, app::RunPlan::steady({}));
    const DeleteAllRun outcome = runDeleteAll();
    if (outcome.outcome == DeleteAllRun::Stopped) {
        lblMsgBar1->setText("Delete Interupted");
    } else if (outcome.outcome == DeleteAllRun::Deleted) {
        RepairCompactDatabase(false);
        bool nowEmpty = false;
        app::resumeNext([&] { nowEmpty = s.session.rsMain.recordCount() == 0; });
        lblMsgBar1->setText(nowEmpty ? "Database empty" : "");
    } else {
        desktop_.messageBox(NoneDeleted + outcome.failure, Buttons::Ok, Icon::Exclamation);
        lblMsgBar1->clear();
    }
    // Opened afresh in the Artist view, the option marks as they were, the tally counted.
    s.session.rsMain.close();
    closeCatalogue();
    InitializeDatabase();
    restoreOptionMarks(marks);
    DisplayRecord();
    held.reset();
    CmdAdd->setFocus();
    recountTally();
    refreshBrowse();
}

// Every record marked for deletion in one batch beside the windows (Esc can stop it: the batch
// is then dropped), then the batch committed as one, which nothing stops.
FrmMain::DeleteAllRun FrmMain::runDeleteAll() {
    auto& s = state_;
    app::Runner::Run run(*runner_, app::RunPlan::asking("Deleting records... %p%   (Esc stops)",
                                                        "Really Cancel Delete Process?"));
    try {
        const bool marked = run.beside([&](app::RunProgress& progress) {
            s.session.rsMain.open(s.session.cnMain, db::catalogue::everyRecord(),
                                  db::CursorType::Keyset, db::LockType::BatchOptimistic);
            const std::int64_t total = std::max<std::int64_t>(s.session.rsMain.recordCount(), 1);
            for (std::int64_t done = 0; !s.session.rsMain.eof(); ++done) {
                if (!progress.report(static_cast<int>(done * 99 / total))) {
                    return false;
                }
                s.session.rsMain.deleteCurrent();
                s.session.rsMain.moveNext();
            }
            return true;
        });
        if (!marked || run.stopped()) {
            app::resumeNext([&] { s.session.rsMain.cancelBatch(); });
            return {DeleteAllRun::Stopped, {}};
        }
        run.beside([&](app::RunProgress& progress) {
            progress.report(100);  // past the point where it could stop
            s.session.rsMain.updateBatch();
        });
        return {DeleteAllRun::Deleted, {}};
    } catch (const db::DbError& error) {
        app::resumeNext([&] { s.session.rsMain.cancelBatch(); });
        return {DeleteAllRun::Failed, QString::fromStdString(error.description)};
    }
}

}  // namespace windows
