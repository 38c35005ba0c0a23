// Add mode: entering new records one after another, and the artist offer.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/controls/LookupList.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

}  // namespace

void FrmMain::CmdAdd_Click() {
    if (AddMode) {
        insertRecord();
    } else {
        enterAddMode();
    }
}

void FrmMain::emptyFields() {
    CmbArtist->setEditText(QString());
    txtTitle->setText(QString());
    CmbCategory->setEditText(QString());
    cmbFormat->setEditText(QString());
}

// The commands that would leave the new record: nine buttons, then the six menus.
void FrmMain::setAddModeCommands(bool enabled, bool withBookmark) {
    for (QPushButton* button : {CmdDelete, CmdNext, CmdPrev, CmdSearch, CmdFirst, CmdLast,
                                CmdUpdate, CmdBrowse, CmdBookmark}) {
        if (button != CmdBookmark || withBookmark) {
            button->setEnabled(enabled);
        }
    }
    for (QAction* menu :
         {mnuFile->menuAction(), mnuLookupTables->menuAction(), mnuReport->menuAction(),
          mnuView->menuAction(), mnuCounts, mnuOptions->menuAction()}) {
        menu->setEnabled(enabled);
    }
}

void FrmMain::enterAddMode() {
    auto& s = state_;
    lblMsgBar1->setText("Add Mode - Esc key to cancel");
    CmdAdd->setText("&Insert");
    s.ReturnBookmark.reset();
    app::resumeNext([&] { s.ReturnBookmark = s.rsMain.bookmark(); });
    SaveViewName();
    setRecordUnread(false);  // a new entry takes typing whatever the record before it
    emptyFields();
    setDefaultButton(CmdAdd);
    setAddModeCommands(false, true);
    AddMode = true;
    CmbArtist->setFocus();
}

void FrmMain::insertRecord() {
    if (CmbArtist->currentText().isEmpty() || txtTitle->text().isEmpty()) {
        const Answer answer = desktop_.messageBox("Artist and Title can not be empty.",
                                                  Buttons::RetryCancel, Icon::Exclamation);
        if (answer == Answer::Retry) {
            txtTitle->setFocus();
        } else {
            leaveAddModeAfterCancel();
        }
        return;
    }
    db::Recordset& main = state_.rsMain;
    try {
        main.addNew();
        writeRecordFields(main, true);
    } catch (const db::DbError& error) {
        // Nothing was written: keep the entry on screen so it can be corrected or retried.
        main.cancelUpdate();
        desktop_.messageBox(app::failureText("The record could not be added.", error), Buttons::Ok,
                            Icon::Exclamation);
        return;
    }
    emptyFields();
    UpdateRecordTally(true);
    CmbArtist->setFocus();
}

// Reopens the view Add was pressed in, so new records take their places, and shows the
// record that was shown then.
void FrmMain::returnToRecordBeforeAdd() {
    auto& s = state_;
    app::resumeNext([&] { GetIndex(); });
    app::resumeNext([&] {
        if (s.ReturnBookmark) {
            s.rsMain.setBookmark(*s.ReturnBookmark);
        }
    });
    DisplayRecord();
}

// Both ways out of add mode end it first: the focus moves below take it out of the artist
// box, and the name shown there then (the returned record's, or an entry the user gave up)
// must not be offered to, let alone added to, the artist list.
void FrmMain::leaveAddModeAfterCancel() {
    AddMode = false;
    CmdAdd->setText("&Add");
    returnToRecordBeforeAdd();
    CmdAdd->setFocus();
    setAddModeCommands(true, true);
    lblMsgBar1->setText(QString());
}

void FrmMain::leaveAddModeAfterEscape() {
    AddMode = false;
    returnToRecordBeforeAdd();
    CmdAdd->setFocus();
    CmdAdd->setText("&Add");
    setDefaultButton(CmdAdd);
    setAddModeCommands(true, false);
    lblMsgBar1->setText("Add Mode Canceled");
}

void FrmMain::CmbArtist_LostFocus() {
    auto& s = state_;
    const QString name = CmbArtist->currentText();
    if (!AddMode || name.size() <= 1) {
        return;
    }
    bool known = false;
    try {
        s.rsArtist.moveFirst();
        s.rsArtist.find("Artist", db::FindOp::Equal, name.toStdString());
        known = !s.rsArtist.eof();
    } catch (const db::DbError& error) {
        if (error.number != db::err::NoCurrentRecord) {  // an empty list knows nobody
            desktop_.messageBox(app::failureText("The artist list could not be searched.", error),
                                Buttons::Ok, Icon::Exclamation);
            return;
        }
    }
    if (known) {
        return;
    }
    const bool add = s.autoAddArtistOn() ||
                     desktop_.messageBox("Name not in Artist Database\r\nWould you like to add it?",
                                         Buttons::YesNo, Icon::Question) == Answer::Yes;
    if (!add) {
        return;
    }
    try {
        s.rsArtist.addNew();
        s.rsArtist.setField("Artist", name.toStdString());
        s.rsArtist.update();
    } catch (const db::DbError& error) {
        s.rsArtist.cancelUpdate();
        desktop_.messageBox(
            app::failureText("The artist could not be added to the artist list.", error),
            Buttons::Ok, Icon::Exclamation);
        return;
    }
    artistList_->append(name);  // the artist editor shows the same list
}

void FrmMain::ComboBox_KeyDown(QComboBox* box, int& keyCode) {
    constexpr int KeyPageUp = 33;
    constexpr int KeyPageDown = 34;
    if (keyCode != KeyPageUp && keyCode != KeyPageDown) {
        return;
    }
    // Outside add mode the key has just moved to another record: a blank put into its
    // empty field would be an edit nobody made.
    if (box->currentText().isEmpty() && AddMode) {
        box->setEditText(" ");
    }
    const QString text = box->currentText();
    keyCode = text.isEmpty() ? ' ' : text.at(0).unicode();
}

}  // namespace windows
