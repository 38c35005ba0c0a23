// The main window's menu bar: items, shortcuts and the check marks of the design.
#include <QMenu>
#include <QMenuBar>

#include "windows/main/FrmMain.h"
#include "windows/main/MenuCheck.h"

namespace windows {
namespace {

QMenu* topMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QKeySequence ctrl(char letter) {
    return QKeySequence(Qt::CTRL | Qt::Key(letter));
}

}  // namespace

void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("FrmMainMenuBar");

    mnuFile = topMenu(bar, "mnuFile", "&File");
    mnuRepairDatabase = addItem(mnuFile, "mnuRepairDatabase", "&Repair/Compact Databases",
                                ctrl('R'), [this] { mnuRepairDatabase_Click(); });
    mnuFileDeleteAll = addItem(mnuFile, "mnuFileDeleteAll", "&Delete All Records", {},
                               [this] { mnuFileDeleteAll_Click(); });
    mnuFileImport = addItem(mnuFile, "mnuFileImport", "&Import Records...", {},
                            [this] { mnuFileImport_Click(); });
    mnuFileImportMusic = addItem(mnuFile, "mnuFileImportMusic", "Import &Music Folder...", {},
                                 [this] { mnuFileImportMusic_Click(); });
    mnuFileExport = addItem(mnuFile, "mnuFileExport", "E&xport Records...", {},
                            [this] { mnuFileExport_Click(); });
    mnuSeparator = mnuFile->addSeparator();
    mnuSeparator->setObjectName("mnuSeparator");
    mnuExit = addItem(mnuFile, "mnuExit", "&Exit", {}, [this] { mnuExit_Click(); });

    mnuEdit = topMenu(bar, "mnuEdit", "&Edit");
    mnuEditUndo = addItem(mnuEdit, "mnuEditUndo", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z),
                          [this] { mnuEditUndo_Click(); });
    mnuEditRedo =
        addItem(mnuEdit, "mnuEditRedo", "&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                [this] { mnuEditRedo_Click(); });
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] { showEditCommands(); });
    showEditCommands();

    mnuLookupTables = topMenu(bar, "mnuLookupTables", "Lookup &Tables");
    mnuArtistDatabase = addItem(mnuLookupTables, "mnuArtistDatabase", "&Artist", ctrl('A'),
                                [this] { mnuArtistDatabase_Click(); });
    mnuCategoryTable = addItem(mnuLookupTables, "mnuCategoryTable", "&Categories", ctrl('G'),
                               [this] { mnuCategoryTable_Click(); });
    mnuFormat = addItem(mnuLookupTables, "mnuFormat", "&Format", {}, [this] { mnuFormat_Click(); });

    mnuReport = topMenu(bar, "mnuReport", "&Reports");
    mnuReportFullReport = addItem(mnuReport, "mnuReportFullReport", "Print &Full Report", ctrl('M'),
                                  [this] { mnuReportFullReport_Click(); });
    mnuReportGroupReport =
        addItem(mnuReport, "mnuReportGroupReport", "Print &Group By Artist Report", ctrl('P'),
                [this] { mnuReportGroupReport_Click(); });
    mnuReportBar = mnuReport->addSeparator();
    mnuReportBar->setObjectName("mnuReportBar");
    mnuReportTitle = addItem(mnuReport, "mnuReportTitle", "Report &Title", {},
                             [this] { mnuReportTitle_Click(); });
    mnuReportPrintToScreen =
        addCheckItem(mnuReport, "mnuReportPrintToScreen", "Print to &Screen", ctrl('F'), true,
                     [this] { mnuReportPrintToScreen_Click(); });
    mnuReportSetup = addItem(mnuReport, "mnuReportSetup", "Printer Set&up", {},
                             [this] { mnuReportSetup_Click(); });

    mnuView = topMenu(bar, "mnuView", "&Views");
    mnuViewArtist = addCheckItem(mnuView, "mnuViewArtist", "By Artist", ctrl('L'), true,
                                 [this] { mnuViewArtist_Click(); });
    mnuViewCategory = addCheckItem(mnuView, "mnuViewCategory", "By &Category", ctrl('Y'), false,
                                   [this] { mnuViewCategory_Click(); });
    mnuViewFormat = addCheckItem(mnuView, "mnuViewFormat", "By &Format", ctrl('S'), false,
                                 [this] { mnuViewFormat_Click(); });
    mnuViewTitle = addCheckItem(mnuView, "mnuViewTitle", "By &Title", ctrl('T'), false,
                                [this] { mnuViewTitle_Click(); });

    mnuCounts = bar->addAction("&Counts");
    mnuCounts->setObjectName("mnuCounts");
    connect(mnuCounts, &QAction::triggered, this, [this] { mnuCounts_Click(); });

    mnuOptions = topMenu(bar, "mnuOptions", "&Options");
    mnuOptionsAddArtist = addCheckItem(mnuOptions, "mnuOptionsAddArtist", "&Auto Add Artist",
                                       ctrl('O'), false, [this] { mnuOptionsAddArtist_Click(); });
    mnuOptionsBookmark = addCheckItem(mnuOptions, "mnuOptionsBookmark", "&Bookmark", ctrl('B'),
                                      true, [this] { mnuOptionsBookmark_Click(); });

    mnuHelp = topMenu(bar, "mnuHelp", "&Help");
    mnuHelpHelp = addItem(mnuHelp, "mnuHelpHelp", "&Help", {}, [this] { mnuHelpHelp_Click(); });
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", "&About", {}, [this] { mnuHelpAbout_Click(); });
}

}  // namespace windows
