// The main window's Browse button: the catalogue (or the search results) copied into the
// browse window's grid, with the progress bar, and Esc to stop.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/browse/BrowseRows.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

constexpr std::uint32_t EventsEveryMs = 50;

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
    if (state_.SearchMode) {
        FillBrowseGridSearch();
    } else {
        FillBrowseGrid();
    }
    if (EscapePressed) {
        SetBusyPointer(false);
        lblMsgBar1->setText("Browse Interupted");
        return;
    }
    lblMsgBar1->clear();
    SetBusyPointer(false);
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
        frmBrowse_->setRows(std::make_unique<BrowseRows>(state_.cnMain));
        return;
    }
    SetBusyPointer(true);
    if (state_.SearchMode) {
        FillBrowseGridSearch();
    } else {
        FillBrowseGrid();
    }
    SetBusyPointer(false);
    if (EscapePressed) {  // stopped: no part of a list stands for the whole
        frmBrowse_->setRows(std::make_unique<BrowseRows>(state_.cnMain));
        frmBrowse_->hide();
    }
}

void FrmMain::FillBrowseGrid() {
    fillBrowse(state_.rsMain, RecordTally);
}

void FrmMain::FillBrowseGridSearch() {
    std::int64_t results = 0;
    app::resumeNext([&] { results = state_.rsSearch.recordCount(); });
    fillBrowse(state_.rsSearch, results);
}

// Walks the recordset in its order and gives the browse grid each record's row id (the
// grid reads the texts of the rows it draws). Pending events run every 50 ms so that Esc
// can stop the walk; meanwhile every other command and window is held, so nothing can move
// the recordset under the walk. The recordset's position is restored at the end.
void FrmMain::fillBrowse(db::Recordset& records, std::int64_t expected) {
    auto& s = state_;
    FrmBrowse* browse = frmBrowse();
    EscapePressed = false;
    std::optional<std::int64_t> returnTo;
    app::resumeNext([&] { returnTo = records.bookmark(); });
    ProgressBar1->setMaximum(static_cast<int>(std::min<std::int64_t>(expected, INT32_MAX)));
    browse->Grid1->hide();
    auto rows = std::make_unique<BrowseRows>(s.cnMain);
    std::optional<HeldForRun> held(std::in_place, *this);
    app::resumeNext([&] {
        records.moveFirst();
        ProgressBar1->show();
        std::uint32_t lastEvents = desktop_.tickCount();
        for (std::int64_t copied = 0; !records.eof(); ++copied) {
            if (copied == 0 || desktop_.tickCount() - lastEvents >= EventsEveryMs) {
                ProgressBar1->setValue(static_cast<int>(std::min<std::int64_t>(copied, INT32_MAX)));
                desktop_.processEvents();
                lastEvents = desktop_.tickCount();
            }
            if (EscapePressed) {
                break;
            }
            rows->add(records.bookmark());
            records.moveNext();
        }
    });
    browse->setRows(std::move(rows));
    browse->Grid1->show();
    app::resumeNext([&] {
        if (returnTo) {
            records.setBookmark(*returnTo);
        }
    });
    held.reset();
    ProgressBar1->setValue(0);
    ProgressBar1->hide();
}

}  // namespace windows
