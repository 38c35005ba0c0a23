// Add mode: entering new records one after another, and the artist offer.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/text/Characters.h"
#include "catalogue/Catalogue.h"
#include "windows/controls/LookupList.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

}  // namespace

void FrmMain::CmdAdd_Click() {
    if (state_.Modes.adding()) {
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

void FrmMain::enterAddMode() {
    auto& s = state_;
    // An edit of the record shown is not dropped unasked; with no record at all there is
    // nothing it could be saved into, and the new entry takes the fields.
    bool anyRecord = false;
    app::resumeNext([&] { anyRecord = s.session.rsMain.recordCount() > 0; });
    if (anyRecord && !offerToSaveEdit()) {
        return;
    }
    lblMsgBar1->setText("Add Mode - Esc key to cancel");
    CmdAdd->setText("&Insert");
    s.ReturnBookmark.reset();
    app::resumeNext([&] { s.ReturnBookmark = s.session.rsMain.bookmark(); });
    SaveViewName();
    setRecordUnread(false);  // a new entry takes typing whatever the record before it
    // In add mode first, so that emptying the fields is not taken for an edit of the record
    // shown before: a later save would write the empty texts over it.
    state_.Modes.enterAdding();
    editor_.setChanged(false);
    emptyFields();
    setDefaultButton(CmdAdd);
    CmbArtist->setFocus();
}

bool FrmMain::insertRecord() {
    if (CmbArtist->currentText().trimmed().isEmpty() || txtTitle->text().trimmed().isEmpty()) {
        const Answer answer = desktop_.messageBox("Artist and Title can not be empty.",
                                                  Buttons::RetryCancel, Icon::Exclamation);
        if (answer == Answer::Retry) {
            txtTitle->setFocus();
        } else {
            leaveAddModeAfterCancel();
        }
        return false;
    }
    followReplacedFile();
    db::Recordset& main = state_.session.rsMain;
    try {
        editor_.add(main, fieldTexts());
    } catch (const db::DbError& error) {
        // Nothing was written: keep the entry on screen so it can be corrected or retried.
        desktop_.messageBox(app::failureText("The record could not be added.", error), Buttons::Ok,
                            Icon::Exclamation);
        return false;
    }
    emptyFields();
    UpdateRecordTally(true);
    CmbArtist->setFocus();
    return true;
}

// Another window goes to a record while a new one is being entered. The entry is never
// written over a stored record: with nothing typed, add mode ends as Esc ends it; with
// something typed, the user chooses whether to add it first (as Insert adds it, with its
// checks and the artist offer). False when the entry stays on screen (a check asked for a
// retry, or the record could not be added): the jump must not happen.
bool FrmMain::leaveAddModeForJump() {
    const RecordTexts typed = fieldTexts();
    const bool anythingTyped = std::any_of(
        typed.begin(), typed.end(), [](const QString& text) { return !text.trimmed().isEmpty(); });
    QString status = "Add Mode Canceled";
    if (anythingTyped &&
        desktop_.messageBox("New record has been entered\r\nAdd Record?", Buttons::YesNo,
                            Icon::Question, "Add Record") == Answer::Yes) {
        // As a click on Insert does, the focus leaves the artist box, which offers the artist
        // when it hears it go; a window that is not the active one hears nothing.
        if (QWidget* focus = focusWidget(); focus == CmbArtist || CmbArtist->isAncestorOf(focus)) {
            CmdAdd->setFocus(Qt::OtherFocusReason);
            if (!isActiveWindow()) {
                CmbArtist_LostFocus();
            }
        }
        if (!insertRecord()) {
            if (!state_.Modes.adding()) {
                return true;  // Cancel on the check left add mode
            }
            raise();  // the entry stays, to be mended where it is typed
            activateWindow();
            return false;
        }
        status = "Record Added";
    }
    leaveAddModeAfterEscape();
    lblMsgBar1->setText(status);
    return true;
}

// Reopens the view Add was pressed in, so new records take their places, and shows the
// record that was shown then.
void FrmMain::returnToRecordBeforeAdd() {
    auto& s = state_;
    app::resumeNext([&] { GetIndex(); });
    app::resumeNext([&] {
        if (s.ReturnBookmark) {
            s.session.rsMain.setBookmark(*s.ReturnBookmark);
        }
    });
    DisplayRecord();
}

// Both ways out of add mode end it first: the focus moves below take it out of the artist
// box, and the name shown there then (the returned record's, or an entry the user gave up)
// must not be offered to, let alone added to, the artist list.
void FrmMain::leaveAddModeAfterCancel() {
    state_.Modes.leaveAdding();
    CmdAdd->setText("&Add");
    returnToRecordBeforeAdd();
    CmdAdd->setFocus();
    CmdBookmark->setEnabled(true);
    lblMsgBar1->setText(QString());
}

void FrmMain::leaveAddModeAfterEscape() {
    state_.Modes.leaveAdding();
    returnToRecordBeforeAdd();
    CmdAdd->setFocus();
    CmdAdd->setText("&Add");
    setDefaultButton(CmdAdd);
    lblMsgBar1->setText("Add Mode Canceled");
}

void FrmMain::CmbArtist_LostFocus() {
    auto& s = state_;
    const QString name = app::keptText(CmbArtist->currentText(),
                                       db::catalogue::lookupWidth(db::catalogue::Lookup::Artist));
    if (!state_.Modes.adding() || name.size() <= 1) {
        return;
    }
    bool known = false;
    try {
        s.session.rsArtist.moveFirst();
        s.session.rsArtist.findName("Artist", name.toStdString());
        known = !s.session.rsArtist.eof();
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
        s.session.edits.addName(s.session.rsArtist, db::catalogue::Lookup::Artist, name);
    } catch (const db::DbError& error) {
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
    if (box->currentText().isEmpty() && state_.Modes.adding()) {
        box->setEditText(" ");
    }
    const QString text = box->currentText();
    keyCode = text.isEmpty() ? ' ' : text.at(0).unicode();
}

}  // namespace windows
