// Edit > Undo and Redo: the session's changes to the catalogue taken back and made again
// (app/History), the record concerned shown after each.
#include <QAction>
#include <QLabel>
#include <QMenu>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/edits/History.h"
#include "sqlite/DbError.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;

constexpr std::int64_t ManyAtOnce = 1000;  // more records taken back at once: asked first

// The record shown in place of `rowId` once it is taken away: the one after it, or before it
// at the end, as a delete shows. The records stay where they were.
std::optional<std::int64_t> neighbourOf(db::Recordset& records, std::int64_t rowId) {
    std::optional<std::int64_t> neighbour;
    app::resumeNext([&] {
        const std::int64_t shown = records.bookmark();
        app::runSteps({[&] { records.setBookmark(rowId); }, [&] { records.moveNext(); },
                       [&] {
                           if (records.eof()) {
                               records.setBookmark(rowId);
                               records.movePrevious();
                           }
                       },
                       [&] {
                           if (!records.bof() && !records.eof() && records.bookmark() != rowId) {
                               neighbour = records.bookmark();
                           }
                       }},
                      [](const db::DbError&) { return app::Trap::Stop; });
        records.setBookmark(shown);
    });
    return neighbour;
}

}  // namespace

app::History& FrmMain::history() {
    return state_.session.edits.history();
}

// The menu follows every step noted, from whichever window, and every undo.
void FrmMain::followHistory() {
    connect(&history().stack(), &QUndoStack::indexChanged, this, [this] { showEditCommands(); });
    connect(&history().stack(), &QUndoStack::cleanChanged, this, [this] { showEditCommands(); });
    showEditCommands();
}

// Each names the change it would take back or make again; without one it is off, and where
// the mode takes it away (adding: Ctrl+Z is then the field's own).
// While an edit is pending, Undo takes the typing back (and Redo waits for it to be saved or
// dropped); otherwise each names the step it takes.
void FrmMain::showEditCommands() {
    const bool typing = !state_.Modes.adding() && editor_.pending(fieldTexts());
    const QString undo = typing ? QString("Typing") : history().undoName();
    const QString redo = typing ? QString() : history().redoName();
    mnuEditUndo->setText(undo.isEmpty() ? "&Undo" : "&Undo " + undo);
    mnuEditRedo->setText(redo.isEmpty() ? "&Redo" : "&Redo " + redo);
    const bool allowed = app::commandAllowed(state_.Modes.settled(), app::Command::Undo);
    mnuEditUndo->setEnabled(!undo.isEmpty() && allowed);
    mnuEditRedo->setEnabled(!redo.isEmpty() && allowed);
}

void FrmMain::mnuEditUndo_Click() {
    takeStep(true);
}

void FrmMain::mnuEditRedo_Click() {
    takeStep(false);
}

// An edit typed and then taken back in the field leaves nothing to save.
bool FrmMain::editPending() const {
    return state_.Modes.adding() || editor_.pending(fieldTexts());
}

// The fields show the record as it was shown before the typing; nothing is written.
void FrmMain::takeTypingBack() {
    showSaved(editor_.shownTexts());
    showEditCommands();
    lblMsgBar1->setText("Undo: Typing");
}

void FrmMain::takeStep(bool back) {
    if (state_.Modes.adding()) {
        return;  // off in add mode
    }
    if (!editPending()) {
        editor_.setChanged(false);
    } else if (back) {
        takeTypingBack();
        return;
    }
    if (!offerToSaveEdit()) {
        return;
    }
    if (const std::int64_t records = back ? history().undoRecords() : 0;
        records > ManyAtOnce &&
        desktop_.messageBox("Take back the import of " +
                                app::counted(records, "record", "records") +
                                "? They are deleted from the catalogue.",
                            Buttons::YesNo, Icon::Question, "Undo") != platform::Answer::Yes) {
        return;
    }
    db::Recordset& records = currentRecords();
    const auto concerned = history().rowIdConcerned(back);
    std::optional<std::int64_t> neighbour;
    app::History::Outcome outcome;
    try {
        // Taking back a large import is a long write: beside the windows, which stay painted
        // (and so does a wait for another program that holds the file). The view read again
        // there too: placing a large import's records in the orders, or taking them out, is
        // most of the work.
        const QString name = back ? history().undoName() : history().redoName();
        runSaying((back ? "Undo " : "Redo ") + name + "...", [&] {
            if (concerned) {
                neighbour = neighbourOf(records, *concerned);
            }
            outcome = back ? history().undo() : history().redo();
            if (outcome.done && outcome.record) {
                app::resumeNext([&] { records.requery(); });
            }
        });
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::failureText(back ? "The change could not be taken back."
                                                  : "The change could not be made again.",
                                             error),
                            Buttons::Ok, Icon::Exclamation, back ? "Undo" : "Redo");
        return;
    }
    showEditCommands();
    if (!outcome.done) {
        if (!outcome.said.isEmpty()) {
            desktop_.messageBox(outcome.said, Buttons::Ok, Icon::Exclamation,
                                back ? "Undo" : "Redo");
        }
        recountTally();  // another program's change may have been a record more or less
        return;
    }
    if (!outcome.record) {  // a list's names: its drop-down shows the list as it is now
        if (const auto list = outcome.list) {
            *list == db::catalogue::Lookup::Artist     ? GetArtist()
            : *list == db::catalogue::Lookup::Category ? GetCategory()
                                                       : GetFormat();
        }
        lblMsgBar1->setText(outcome.said);
        return;
    }
    // The record concerned, where the view (or the search) has it; in place of a record
    // taken away, its neighbour, else the first.
    try {
        records.setBookmark(outcome.rowId.value_or(0));
    } catch (const db::DbError&) {
        try {
            records.setBookmark(neighbour.value_or(0));
        } catch (const db::DbError&) {
            app::resumeNext([&] { records.moveFirst(); });
        }
    }
    DisplayRecord();
    recountTally();
    refreshBrowse();
    lblMsgBar1->setText(outcome.said);
}

}  // namespace windows
