// The View menu's four orders and the Options menu's two switches.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {

void FrmMain::mnuViewArtist_Click() {
    chooseView("Artist");
}
void FrmMain::mnuViewCategory_Click() {
    chooseView("Category");
}
void FrmMain::mnuViewFormat_Click() {
    chooseView("Format");
}
void FrmMain::mnuViewTitle_Click() {
    chooseView("Title");
}

// A new order shows another record: an edit of the one shown is offered for saving first,
// and a failed save keeps it on screen, in the view it was made in.
void FrmMain::chooseView(const QString& view) {
    if (!offerToSaveEdit()) {
        return;
    }
    try {
        OpenView(view);
    } catch (const db::DbError& error) {
        if (error.busy) {  // the user stopped the wait: no more to say than the status
            lblMsgBar1->setText(QString::fromStdString(error.description));
            return;
        }
        desktop_.messageBox(app::procedureMessage(error, "OpenView"), platform::Buttons::Ok,
                            platform::Icon::Exclamation);
    }
}

void FrmMain::mnuOptionsAddArtist_Click() {
    const bool on = !mnuOptionsAddArtist->isChecked();
    mnuOptionsAddArtist->setChecked(on);
    state_.AutoAddArtist = on;
    lblMsgBar1->setText(on ? "Auto Add Artist is On" : "Auto Add Artist is Off");
}

void FrmMain::mnuOptionsBookmark_Click() {
    if (mnuOptionsBookmark->isChecked()) {
        mnuOptionsBookmark->setChecked(false);
        CmdBookmark->setEnabled(false);
        lblMsgBar1->setText("Bookmark is Off");
    } else {
        mnuOptionsBookmark->setChecked(true);
        lblMsgBar1->setText("Bookmark is On");
    }
}

}  // namespace windows
