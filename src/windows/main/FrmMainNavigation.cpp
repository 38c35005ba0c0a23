// Moving through the records, and returning to the saved bookmark.
#include <QLabel>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;

}  // namespace

db::Recordset& FrmMain::currentRecords() {
    return state_.Modes.searching() ? state_.session.rsSearch : state_.session.rsMain;
}

bool FrmMain::offerToSaveEdit() {
    if (state_.Modes.adding()) {
        return leaveAddModeForJump();
    }
    if (editor_.changed()) {
        UpdateRecord(Update::Offered);
    }
    return !editor_.changed();
}

void FrmMain::noCurrentRecord() {
    desktop_.messageBox("No Current Record!", Buttons::Ok, Icon::Critical, "ERROR");
}

void FrmMain::stepOrSayNoRecord(const std::function<void()>& action) {
    try {
        action();
    } catch (const db::DbError& error) {
        if (error.number == db::err::NoCurrentRecord) {
            noCurrentRecord();
        }
    }
}

// A test that fails (after saying so, for a missing record) counts as true.
bool FrmMain::testOrTrue(const std::function<bool()>& test) {
    bool result = true;
    stepOrSayNoRecord([&] { result = test(); });
    return result;
}

void FrmMain::CmdFirst_Click() {
    moveToEnd(true);
}

void FrmMain::CmdLast_Click() {
    moveToEnd(false);
}

void FrmMain::moveToEnd(bool first) {
    db::Recordset& records = currentRecords();
    if (!offerToSaveEdit()) {
        return;
    }
    app::runSteps({
                      [&] { first ? records.moveFirst() : records.moveLast(); },
                      [&] { DisplayRecord(); },
                      [&] { desktop_.beep(); },
                      [&] { lblMsgBar1->setText(first ? "First Record" : "Last Record"); },
                  },
                  [&](const db::DbError& error) {
                      if (error.number == db::err::NoCurrentRecord) {
                          desktop_.beep();
                          noCurrentRecord();
                          return app::Trap::Stop;
                      }
                      desktop_.messageBox("Undetermined error occured!\r\nError = \"" +
                                              QString::fromStdString(error.description) + "\"",
                                          Buttons::Ok, Icon::Critical, "ERROR");
                      return app::Trap::Resume;
                  });
}

// Next and Previous go on with the next step after any failure; a missing record is said.
// A test that fails counts as true, so its branch runs, as it always has.
void FrmMain::CmdNext_Click() {
    db::Recordset& records = currentRecords();
    auto step = [this](const std::function<void()>& action) { stepOrSayNoRecord(action); };
    if (!offerToSaveEdit()) {
        return;
    }
    if (testOrTrue([&] { return records.eof(); })) {
        step([&] { records.moveLast(); });
        lblMsgBar1->setText("Last Record");
    } else {
        step([&] { records.moveNext(); });
        if (testOrTrue([&] { return records.eof(); })) {
            desktop_.beep();
            step([&] { records.moveLast(); });
            lblMsgBar1->setText("Last Record");
        } else {
            lblMsgBar1->setText("Next Record");
        }
    }
    DisplayRecord();
}

void FrmMain::CmdPrev_Click() {
    db::Recordset& records = currentRecords();
    auto step = [this](const std::function<void()>& action) { stepOrSayNoRecord(action); };
    if (!offerToSaveEdit()) {
        return;
    }
    if (testOrTrue([&] { return records.bof(); })) {
        desktop_.beep();
        step([&] { records.moveNext(); });
        DisplayRecord();
        lblMsgBar1->setText("First Record");
        return;
    }
    step([&] { records.movePrevious(); });
    DisplayRecord();
    if (testOrTrue([&] { return records.bof(); })) {
        desktop_.beep();
        step([&] { records.moveNext(); });
        DisplayRecord();
        lblMsgBar1->setText("First Record");
    } else {
        lblMsgBar1->setText("Previous Record");
    }
}

void FrmMain::CmdBookmark_Click() {
    auto& s = state_;
    app::resumeNext([&] {
        if (!s.SavedBookmark) {
            throw db::DbError::badBookmark();
        }
        s.session.rsMain.setBookmark(*s.SavedBookmark);
    });
    DisplayRecord();
    CmdBookmark->setEnabled(false);
    s.BookmarkPending = false;
}

}  // namespace windows
