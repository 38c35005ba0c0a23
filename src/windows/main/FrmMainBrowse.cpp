// The main window's Browse button: the catalogue (or the search results) copied into the
// browse window's grid, with the progress bar, and Esc to stop.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/runs/Runner.h"
#include "sqlite/DbError.h"
#include "windows/browse/BrowseRows.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;

constexpr int FirstRowsRead = 64;  // more than a window shows at once

}  // namespace

FrmBrowse* FrmMain::frmBrowse() {
    if (!frmBrowse_) {
        frmBrowse_ = new FrmBrowse(state_, *this);
    }
    return frmBrowse_;
}

void FrmMain::CmdBrowse_Click() {
    SetBusyPointer(true);
    lblMsgBar1->setText("Opening Browse Form");
    const Filled filled = state_.Modes.searching() ? FillBrowseGridSearch() : FillBrowseGrid();
    SetBusyPointer(false);
    if (filled == Filled::Stopped) {
        lblMsgBar1->setText("Browse Interupted");
        return;
    }
    lblMsgBar1->clear();
    if (filled == Filled::Unreadable) {
        return;
    }
    frmBrowse()->show();
    frmBrowse()->raise();
    frmBrowse()->activateWindow();
}

// After a run that changed the catalogue as a whole (delete-all, repair, import), the browse
// grid's rows are the old ones, read through the connection closed since: an open browse
// window is filled again, a hidden one forgets them (Browse fills it afresh anyway).
void FrmMain::refreshBrowse() {
    if (!frmBrowse_) {
        return;
    }
    if (!frmBrowse_->isVisible()) {
        frmBrowse_->setRows(std::make_unique<BrowseRows>(state_.session.cnMain));
        return;
    }
    SetBusyPointer(true);
    const Filled filled = state_.Modes.searching() ? FillBrowseGridSearch() : FillBrowseGrid();
    SetBusyPointer(false);
    if (filled != Filled::Whole) {  // no part of a list stands for the whole
        frmBrowse_->setRows(std::make_unique<BrowseRows>(state_.session.cnMain));
        frmBrowse_->hide();
    }
}

// Records another program added since the view was read (the browse window's find found
// some): the view's keys read again beside the windows, the record shown and any edit of it
// kept, the tally and the grid renewed. Not while a new entry or the search's results show.
void FrmMain::readViewAgain() {
    auto& s = state_;
    if (state_.Modes.adding() || s.Modes.searching() || runner_->running() ||
        !s.session.rsMain.isOpen()) {
        return;
    }
    std::optional<std::int64_t> shown;
    app::resumeNext([&] { shown = s.session.rsMain.bookmark(); });
    bool read = false;
    app::resumeNext([&] {
        read = runBesideWindows([&] { s.session.rsMain.requery(); }, "the records are read");
    });
    app::resumeNext([&] {
        if (shown) {
            s.session.rsMain.setBookmark(*shown);
        }
    });
    if (read) {
        recountTally();
        refreshBrowse();
    }
}

// A jump from the browse grid: the record shown before is kept for Bookmark (the first one
// before a run of jumps for its way back); a record deleted since the fill is said.
void FrmMain::goToRecord(std::int64_t rowId) {
    auto& s = state_;
    SetBusyPointer(true);
    db::Recordset& records = currentRecords();
    if (!s.Modes.searching()) {
        try {
            s.ReturnBookmark = s.session.rsMain.bookmark();
            if (!s.BookmarkPending) {
                s.SavedBookmark = s.session.rsMain.bookmark();
                s.BookmarkPending = true;
            }
        } catch (const db::DbError&) {
            // No record shown before the jump: nothing to return to.
        }
    }
    try {
        records.setBookmark(rowId);
    } catch (const db::DbError&) {
        desktop_.messageBox("Something went wrong with the search!", Buttons::Ok,
                            Icon::Exclamation);
        app::resumeNext([&] { records.moveFirst(); });  // none in an empty catalogue
    }
    if (!s.Modes.searching() && s.BookmarkPending) {
        CmdBookmark->setEnabled(true);
    }
    DisplayRecord();
    SetBusyPointer(false);
}

FrmMain::Filled FrmMain::FillBrowseGrid() {
    return fillBrowse(state_.session.rsMain, state_.session.tally);
}

FrmMain::Filled FrmMain::FillBrowseGridSearch() {
    std::int64_t results = 0;
    app::resumeNext([&] { results = state_.session.rsSearch.recordCount(); });
    return fillBrowse(state_.session.rsSearch, results);
}

// Walks the recordset in its order and gives the browse grid each record's row id (the
// grid reads the texts of the rows it draws). The walk is a run beside the windows that Esc
// stops at once; meanwhile every other command and window is held, so nothing can move
// the recordset under the walk, and its place is put back from memory at the end: the walk
// reads nothing from the file, so another program holding it cannot lose the record shown.
// The first rows' texts are read before the grid is shown; a file that cannot be read is
// said, and the grid left empty.
FrmMain::Filled FrmMain::fillBrowse(db::Recordset& records, std::int64_t expected) {
    FrmBrowse* browse = frmBrowse();
    std::optional<std::int64_t> returnTo;
    app::resumeNext([&] { returnTo = records.absolutePosition(); });
    browse->Grid1->hide();
    auto rows = std::make_unique<BrowseRows>(state_.session.cnMain);
    // Another program renumbering the records makes the rows' ids another's: filled again.
    rows->setWhenRenumbered([this] { QTimer::singleShot(0, this, [this] { refreshBrowse(); }); });
    std::optional<app::Runner::Run> run(
        std::in_place, *runner_,
        app::RunPlan::stoppedByEsc("Filling the browse window... %p%   (Esc stops)"));
    const std::int64_t total = std::max<std::int64_t>(expected, 1);
    bool whole = true;
    app::resumeNext([&] {
        whole = run->beside([&](app::RunProgress& progress) {
            records.moveFirst();
            for (std::int64_t copied = 0; !records.eof(); ++copied) {
                if (!progress.report(
                        static_cast<int>(std::min<std::int64_t>(copied * 100 / total, 99)))) {
                    return false;
                }
                rows->add(records.bookmark());
                records.moveNext();
            }
            return true;
        });
    });
    std::optional<db::DbError> unreadable;
    if (whole) {
        try {
            rows->readFirst(FirstRowsRead);
        } catch (const db::DbError& error) {
            unreadable = error;
            rows = std::make_unique<BrowseRows>(state_.session.cnMain);
        }
    }
    browse->setRows(std::move(rows));
    browse->Grid1->show();
    app::resumeNext([&] {
        if (returnTo) {
            records.setAbsolutePosition(*returnTo);
        }
    });
    run.reset();
    if (unreadable) {
        desktop_.messageBox(
            app::failureText("The records could not be read for the browse window.", *unreadable),
            Buttons::Ok, Icon::Exclamation);
        return Filled::Unreadable;
    }
    return whole ? Filled::Whole : Filled::Stopped;
}

}  // namespace windows
