// The main window's Search button: it opens the search window, or in search mode it resets
// the search and shows the whole catalogue again.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"
#include "windows/search/FrmSearch.h"

namespace windows {

FrmSearch* FrmMain::frmSearch() {
    if (!frmSearch_) {
        frmSearch_ = new FrmSearch(state_, *this);
    }
    return frmSearch_;
}

void FrmMain::CmdSearch_Click() {
    if (!state_.Modes.searching()) {
        frmSearch()->exec();
        return;
    }
    // Leaving the search results is a jump: an edit is offered for saving first.
    if (offerToSaveEdit()) {
        resetSearch();
    }
}

// Each step runs whatever befell the one before it, silently; only a record deleted
// meanwhile stops the reset, on a record of the results that is still there.
void FrmMain::resetSearch() {
    auto& s = state_;
    const bool bookmarkOption = mnuOptionsBookmark->isChecked();
    app::runSteps({
                      [&] { s.Modes.leaveSearching(); },
                      [&] { GetIndex(); },
                      [&] {
                          if (bookmarkOption && s.ReturnBookmark) {
                              s.session.rsMain.setBookmark(*s.ReturnBookmark);
                          }
                      },
                      [&] { DisplayRecord(); },
                      [&] { showTally(); },
                      [&] { s.session.ReportFilter.clear(); },
                      [&] {
                          if (bookmarkOption && s.BookmarkPending) {
                              CmdBookmark->setEnabled(true);
                              s.BookmarkPending = false;
                          }
                      },
                  },
                  [&](const db::DbError& error) {
                      if (error.number != db::err::RecordDeleted) {
                          return app::Trap::Resume;
                      }
                      if (s.Modes.searching()) {
                          app::resumeNext([&] {
                              s.session.rsSearch.eof() ? s.session.rsSearch.movePrevious()
                                                       : s.session.rsSearch.moveLast();
                          });
                      }
                      return app::Trap::Stop;
                  });
}

}  // namespace windows
