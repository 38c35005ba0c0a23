// The main window's commands as its mode allows them: one table (app::Modes) says which, for
// the buttons and the menus alike. Bookmark and Undo also need something to go back to or take
// back: the table only takes them away.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "app/AppState.h"
#include "windows/main/FrmMain.h"

namespace windows {

void FrmMain::showModeCommands() {
    using app::Command;
    // A run holds the window as a whole; its commands are shown for the mode it returns to.
    const app::Mode mode = state_.Modes.settled();
    const auto allowed = [mode](Command command) { return app::commandAllowed(mode, command); };
    const std::pair<QPushButton*, Command> buttons[] = {
        {CmdAdd, Command::Add},    {CmdDelete, Command::Delete}, {CmdUpdate, Command::Update},
        {CmdFirst, Command::Move}, {CmdPrev, Command::Move},     {CmdNext, Command::Move},
        {CmdLast, Command::Move},  {CmdSearch, Command::Search}, {CmdBrowse, Command::Browse}};
    for (const auto& [button, command] : buttons) {
        button->setEnabled(allowed(command));
    }
    if (!allowed(Command::Bookmark)) {
        CmdBookmark->setEnabled(false);
    }
    CmdSearch->setText(state_.Modes.searching() ? "Reset &Srch" : "&Search");
    const std::pair<QAction*, Command> menus[] = {
        {mnuFile->menuAction(), Command::FileMenu},
        {mnuRepairDatabase, Command::ChangeCatalogue},
        {mnuFileDeleteAll, Command::ChangeCatalogue},
        {mnuFileImport, Command::ChangeCatalogue},
        {mnuFileImportMusic, Command::ChangeCatalogue},
        {mnuLookupTables->menuAction(), Command::ListsMenu},
        {mnuReport->menuAction(), Command::ReportsMenu},
        {mnuView->menuAction(), Command::ViewsMenu},
        {mnuCounts, Command::Counts},
        {mnuOptions->menuAction(), Command::OptionsMenu}};
    for (const auto& [menu, command] : menus) {
        menu->setEnabled(allowed(command));
    }
    showEditCommands();  // Undo and Redo
}

void FrmMain::say(const QString& status) {
    lblMsgBar1->setText(status);
}

void FrmMain::showRecordJumpedTo() {
    if (mnuOptionsBookmark->isChecked()) {
        CmdBookmark->setEnabled(true);
    }
    DisplayRecord();
}

// A Bookmark offered before the search leads back from the results' first jump.
void FrmMain::enterSearchMode(const QString& count, const QString& view) {
    lblMsgBar3->setText(count);
    state_.Modes.enterSearching();
    if (CmdBookmark->isEnabled()) {
        state_.BookmarkPending = true;
    }
    if (!view.isEmpty()) {
        QString shown = view;
        ShowView(shown);
    }
    CmdBookmark->setEnabled(false);
    DisplayRecord();
}

}  // namespace windows
