// Opening the side windows: the three lookup-list editors (from the buttons beside the
// drop-downs and from the Lookup Tables menu), the counts, the report title and About.
#include <QAction>
#include <QComboBox>
#include <QLabel>

#include "windows/about/FrmAbout.h"
#include "windows/counts/FrmCounts.h"
#include "windows/lookup/LookupEditor.h"
#include "windows/main/FrmMain.h"
#include "windows/reporttitle/FrmReportTitle.h"

namespace windows {

// About is made afresh at each opening and has no owner; while it is open, About again only
// brings it forward, which starts a new wait.
void FrmMain::mnuHelpAbout_Click() {
    if (frmAbout_) {
        frmAbout_->raise();
        frmAbout_->activateWindow();
        frmAbout_->Form_Activate();
        return;
    }
    frmAbout_ = new FrmAbout(state_);
    frmAbout_->Form_Load();
    frmAbout_->show();
    frmAbout_->activateWindow();
}

// The counts window keeps its tally while hidden; closed, it counts afresh next time.
void FrmMain::mnuCounts_Click() {
    if (!frmCounts_) {
        frmCounts_ = new FrmCounts(state_, this);
    }
    frmCounts_->exec();
}

// The report title window is made for each opening and gone when it ends.
void FrmMain::mnuReportTitle_Click() {
    lblMsgBar1->setText("Opening Report Title Form...");
    FrmReportTitle editor(state_, lblMsgBar1, this);
    editor.exec();
    lblMsgBar1->setText("Closed Report Title Form");
}

void FrmMain::mnuReportPrintToScreen_Click() {
    const bool toScreen = !mnuReportPrintToScreen->isChecked();
    mnuReportPrintToScreen->setChecked(toScreen);
    lblMsgBar1->setText(toScreen ? "Print to Screen" : "Print to Printer");
}

void FrmMain::cmdArtist_Click() {
    openLookupEditor(artistKind(), true);
}
void FrmMain::mnuArtistDatabase_Click() {
    openLookupEditor(artistKind(), false);
}
void FrmMain::cmdCategory_Click() {
    openLookupEditor(categoryKind(), true);
}
void FrmMain::mnuCategoryTable_Click() {
    openLookupEditor(categoryKind(), false);
}
void FrmMain::cmdFormat_Click() {
    openLookupEditor(formatKind(), true);
}
void FrmMain::mnuFormat_Click() {
    openLookupEditor(formatKind(), false);
}

// Shows an editor modally. The artist editor is kept, hidden, between openings; the other
// two are made for each opening and go when it ends. Nothing is reloaded afterwards: the
// editors change the very lists the drop-downs show.
void FrmMain::openLookupEditor(const LookupKind& kind, bool fromButton) {
    lblMsgBar1->setText(kind.opening);
    QComboBox* box = CmbArtist;
    if (&kind == &artistKind()) {
        frmArtist()->exec();
    } else if (&kind == &categoryKind()) {
        FrmCategory editor(state_, *categoryList_, lblMsgBar1, this);
        editor.exec();
        box = CmbCategory;
    } else {
        FrmFormat editor(state_, *formatList_, lblMsgBar1, this);
        editor.exec();
        box = cmbFormat;
    }
    lblMsgBar1->setText(kind.closed);
    if (fromButton) {
        box->setFocus();
    }
}

}  // namespace windows
