// The main window's construction, start, close and the small routines every window uses.
#include "windows/main/FrmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/edits/History.h"
#include "app/looks/AppPicture.h"
#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "app/runs/WordsCatchUp.h"
#include "windows/about/FrmAbout.h"
#include "windows/controls/LookupList.h"
#include "windows/lookup/LookupEditor.h"
#include "windows/main/MainWindowRuns.h"

namespace windows {

using platform::Buttons;
using platform::Icon;

FrmMain::FrmMain(app::AppState& state)
    : state_(state), desktop_(state.desktop), editor_(state.session.edits) {
    setObjectName("FrmMain");
    setWindowTitle(platform::ApplicationTitle);
    setWindowIcon(app::applicationIcon());
    setFont(app::windowFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(212, 208, 200));
    setPalette(palette);
    setAutoFillBackground(true);

    buildControls();
    buildMenus();
    connectControls();
    runWindows_ = std::make_unique<MainWindowRuns>(*this, *ProgressBar1, desktop_);
    runner_ = std::make_unique<app::Runner>(desktop_, *runWindows_, state_.Modes);
    // Each lookup list is one list, shown by the main window's drop-down and its editor.
    artistList_ = new LookupList(this);
    categoryList_ = new LookupList(this);
    formatList_ = new LookupList(this);
    artistList_->attach(CmbArtist);
    categoryList_->attach(CmbCategory);
    formatList_->attach(cmbFormat);

    // The window keeps one size: the design's client area plus the menu bar.
    fixedSize_ =
        QSize(centralWidget()->width(), centralWidget()->height() + menuBar()->sizeHint().height());
    setFixedSize(fixedSize_);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());

    qApp->installEventFilter(this);
    followHistory();
    state_.Modes.setOnChange([this] { showModeCommands(); });
}

FrmMain::~FrmMain() {
    state_.Modes.setOnChange({});
    delete frmAbout_;
    qApp->removeEventFilter(this);
    // The controls outlive this body by a little; none of them may call into the window
    // while it goes (a focused field that loses its focus then still sends signals).
    for (QObject* control : findChildren<QObject*>()) {
        control->disconnect(this);
    }
}

void FrmMain::connectControls() {
    connect(CmbArtist, &QComboBox::editTextChanged, this, [this] { CmbArtist_Change(); });
    connect(CmbArtist, &QComboBox::activated, this, [this] { CmbArtist_Click(); });
    connect(txtTitle, &QLineEdit::textChanged, this, [this] { txtTitle_Change(); });
    // Typed text too is shaped when it needs it (showing a record sets it first).
    for (QLineEdit* edit : fieldEdits()) {
        connect(edit, &QLineEdit::textChanged, edit,
                [edit](const QString& text) { app::shapeAsNeeded(edit, text); });
    }
    connect(CmbCategory, &QComboBox::editTextChanged, this, [this] { CmbCategory_Change(); });
    connect(CmbCategory, &QComboBox::activated, this, [this] { CmbCategory_Click(); });
    connect(cmbFormat, &QComboBox::editTextChanged, this, [this] { cmbFormat_Change(); });
    connect(cmbFormat, &QComboBox::activated, this, [this] { cmbFormat_Click(); });

    const std::pair<QPushButton*, void (FrmMain::*)()> buttons[] = {
        {CmdAdd, &FrmMain::CmdAdd_Click},       {CmdDelete, &FrmMain::CmdDelete_Click},
        {CmdPrev, &FrmMain::CmdPrev_Click},     {CmdNext, &FrmMain::CmdNext_Click},
        {CmdUpdate, &FrmMain::CmdUpdate_Click}, {CmdBookmark, &FrmMain::CmdBookmark_Click},
        {CmdFirst, &FrmMain::CmdFirst_Click},   {CmdLast, &FrmMain::CmdLast_Click},
        {cmdArtist, &FrmMain::cmdArtist_Click}, {cmdCategory, &FrmMain::cmdCategory_Click},
        {cmdFormat, &FrmMain::cmdFormat_Click}, {CmdSearch, &FrmMain::CmdSearch_Click},
        {CmdBrowse, &FrmMain::CmdBrowse_Click}};
    for (auto [button, handler] : buttons) {
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { (this->*handler)(); });
    }
}

void FrmMain::Form_Load() {
    auto& s = state_;
    const bool loaded = app::runSteps(
        {
            [&] { lblMsgBar1->setText("Initializing..."); },
            [&] { s.session.AppDir = desktop_.applicationDirectory() + "/"; },
            [&] { ProgressBar1->setGeometry(app::twipsRect(60, 150, 7100, 320)); },
            [&] {
                InitializeDatabase();
                if (s.Ended) {  // a repair offered at the start could not save the catalogue
                    throw db::DbError::objectClosed();
                }
            },
            [&] { DisplayRecord(); },
            [&] {
                lblDeveloper->setText(s.NoticeText + " " + s.CompanyText + " " + s.VersionText);
            },
            [&] { state_.session.tally = s.session.rsMain.recordCount(); },
            [&] { showTally(); },
            [&] {
                if (s.autoAddArtistOn()) {
                    mnuOptionsAddArtist->setChecked(true);
                }
            },
            [&] { lblMsgBar1->setText("Ready"); },
            [&] { SetBusyPointer(false); },
        },
        [&](const db::DbError& error) {
            if (!s.Ended) {
                desktop_.messageBox(app::procedureMessage(error, "Form_Load"), Buttons::Ok,
                                    Icon::None);
            }
            return app::Trap::Stop;
        });
    if (!loaded) {
        ExitApplication();
        return;
    }
    watchCatalogueFile();
}

void FrmMain::Form_Resize() {
    if (!isMinimized() && !isMaximized() && size() != fixedSize_) {
        resize(fixedSize_);
    }
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (runner_->running()) {
        // A run that can stop is asked to (the question first where it has one); any other
        // ends on its own in a moment: closing in the middle would leave its work half done,
        // so the window closes after it.
        event->ignore();
        runner_->closeRequested();
        return;
    }
    event->accept();  // otherwise closing is never refused
    Form_Unload();
}

void FrmMain::Form_Unload() {
    if (editor_.changed() && !state_.Modes.adding()) {
        UpdateRecord(Update::Offered);
    }
    SetOptions();
    ExitApplication();
}

void FrmMain::ExitApplication() {
    state_.session.close();
    SetBusyPointer(false);
    state_.Ended = true;
    desktop_.endProgram();
}

// File > Exit ends as closing the window does: an edit is offered for saving and the options
// are stored (neither must vanish silently).
void FrmMain::mnuExit_Click() {
    Form_Unload();
}

void FrmMain::SetBusyPointer(bool busy) {
    desktop_.setBusyPointer(busy);
}

void FrmMain::showTally() {
    lblMsgBar3->setText(app::TallyText(state_.session.tally));
}

// The records the recordset shown holds now, read again (another program changed the file).
void FrmMain::showRecordCount() {
    auto& s = state_;
    app::resumeNext([&] {
        if (s.Modes.searching()) {
            lblMsgBar3->setText(QString::number(s.session.rsSearch.recordCount()) + " records ");
        } else {
            state_.session.tally = s.session.rsMain.recordCount();
            showTally();
        }
    });
}

void FrmMain::UpdateRecordTally(bool increment) {
    state_.session.tally += increment ? 1 : -1;
    showTally();
}

std::int64_t FrmMain::recordTally() const {
    return state_.session.tally;
}

void FrmMain::MarkRecordChanged() {
    if (state_.Modes.adding() || state_.DisplayingRecord || editor_.unread()) {
        editor_.setChanged(false);
        return;
    }
    editor_.setChanged(true);
    setDefaultButton(CmdUpdate);
    showEditCommands();  // Undo takes the typing back while it differs from the record
}

void FrmMain::setDefaultButton(QPushButton* button) {
    if (defaultButton_) {
        defaultButton_->setDefault(false);
    }
    defaultButton_ = button;
    if (button) {
        button->setDefault(true);
    }
}

void FrmMain::CmbArtist_Change() {
    MarkRecordChanged();
}
void FrmMain::CmbArtist_Click() {
    MarkRecordChanged();
}
void FrmMain::txtTitle_Change() {
    MarkRecordChanged();
}
void FrmMain::CmbCategory_Change() {
    MarkRecordChanged();
}
void FrmMain::CmbCategory_Click() {
    MarkRecordChanged();
}
void FrmMain::cmbFormat_Change() {
    MarkRecordChanged();
}
void FrmMain::cmbFormat_Click() {
    MarkRecordChanged();
}

FrmArtist* FrmMain::frmArtist() {
    if (!frmArtist_) {
        frmArtist_ = new FrmArtist(state_, *artistList_, lblMsgBar1, this);
    }
    return frmArtist_;
}

void FrmMain::DisplayHelpOnHelp(int context) {
    app::DisplayHelpOnHelp(state_, this, context);
}

}  // namespace windows
