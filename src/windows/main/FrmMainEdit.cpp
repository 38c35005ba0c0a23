// Writing edits back to the current record, and deleting it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

const QString NoRecordsToUpdate = "No Records to Update, click the Add button to add a record.";
const QString EditKept = "\r\nYour changes are still on the screen: press Update to save them.";
const QString ShownAsItIs = "\r\nIt is shown as it is now: delete it again if it is still to go.";

}  // namespace

void FrmMain::CmdUpdate_Click() {
    SetBusyPointer(true);
    UpdateRecord(Update::Asked);
    SetBusyPointer(false);
}

void FrmMain::UpdateRecord(Update how) {
    auto& s = state_;
    followReplacedFile();  // saved into the file at the catalogue's path
    auto noRecords = [&] {
        desktop_.messageBox(NoRecordsToUpdate, Buttons::Ok, Icon::Information);
        CmdAdd->setFocus();
    };
    try {
        if (s.session.rsMain.recordCount() < 1) {
            noRecords();
            return;  // the flags stay as they are
        }
    } catch (const db::DbError&) {
        // A closed catalogue is found out by the steps below.
    }
    if (how == Update::Offered) {
        const Answer answer =
            desktop_.messageBox("Changes have been made to record\r\nSave Changes?", Buttons::YesNo,
                                Icon::Question, "Update Record");
        if (answer == Answer::No) {
            state_.Modes.leaveAdding();
            editor_.setChanged(false);
        }
    }
    db::Recordset& records = currentRecords();
    bool saveFailed = false;
    if (editor_.changed() || state_.Modes.adding()) {
        try {
            const RecordTexts kept = editor_.save(records, fieldTexts());
            showSaved(kept);
            lblMsgBar1->setText("Record Updated");
            if (&records == &s.session.rsMain) {
                desktop_.beep();
            }
        } catch (const db::DbError& error) {
            records.cancelUpdate();
            if (error.number == db::err::NoCurrentRecord) {
                noRecords();
            } else {
                // The edit stays on screen and marked, so it can be saved again; found again
                // after another program moved it, the record is where it is saved.
                saveFailed = true;
                const bool foundAgain = error.number == db::err::RowChanged;
                if (foundAgain || error.number == db::err::RecordDeleted) {
                    showRecordCount();
                }
                desktop_.messageBox(app::failureText("The record could not be saved.", error) +
                                        (foundAgain ? EditKept : QString()),
                                    Buttons::Ok, Icon::Exclamation);
            }
        }
    } else {
        // Nothing to save: show the stored values again, dropping any edit.
        try {
            reloadRecord(records);
        } catch (const db::DbError&) {
            noRecords();  // no current record
        }
    }
    editor_.setChanged(saveFailed);
    showEditCommands();
}

void FrmMain::CmdDelete_Click() {
    lblMsgBar1->setText("Delete Mode");
    const Answer answer =
        desktop_.messageBox("Delete Current Record.", Buttons::YesNo, Icon::Question, "Delete");
    if (answer != Answer::Yes) {
        lblMsgBar1->setText("Delete Canceled");
        return;
    }
    followReplacedFile();
    db::Recordset& records = currentRecords();
    // No record to delete, or none left to show after deleting the only one.
    auto noRecordLeft = [&] {
        desktop_.beep();
        desktop_.messageBox("No Current Record", Buttons::Ok, Icon::Critical, "ERROR");
        DisplayRecord();
        lblMsgBar1->setText("No Records");
        if (state_.session.tally == 1) {
            UpdateRecordTally(false);
        }
    };
    try {
        state_.session.edits.deleteRecord(records);
    } catch (const db::DbError& error) {
        if (error.number == db::err::NoCurrentRecord) {
            noRecordLeft();
        } else if (error.number == db::err::RowChanged) {
            showRecordCount();
            DisplayRecord();
            desktop_.messageBox(
                app::failureText("The record could not be deleted.", error) + ShownAsItIs,
                Buttons::Ok, Icon::Exclamation);
        } else {
            desktop_.messageBox(app::failureText("The record could not be deleted.", error),
                                Buttons::Ok, Icon::Exclamation);
        }
        return;
    }
    // Show the record after the deleted one, or the one before it at the end.
    app::runSteps({
                      [&] { records.moveNext(); },
                      [&] {
                          if (records.eof()) {
                              records.movePrevious();
                          }
                      },
                      [&] {
                          if (records.bof()) {
                              records.moveNext();
                          }
                      },
                      [&] { lblMsgBar1->setText("Record Deleted"); },
                      [&] { DisplayRecord(); },
                      [&] { UpdateRecordTally(false); },
                  },
                  [&](const db::DbError& error) {
                      if (error.number != db::err::NoCurrentRecord) {
                          return app::Trap::Resume;
                      }
                      noRecordLeft();
                      return app::Trap::Stop;
                  });
}

}  // namespace windows
