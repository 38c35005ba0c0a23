#pragma once

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QtGlobal>

#include "windows/main/FrmMain.h"

namespace testing {

// The main window as a test drives it: its controls and menus found by their object names, as
// a user finds them by their captions, and the window itself for the rest.
class MainPage {
  public:
    explicit MainPage(windows::FrmMain& window) : window_(window) {}

    windows::FrmMain& window() const { return window_; }
    operator windows::FrmMain&() const { return window_; }

    // What the window holds that a user sees only through its controls.
    bool recordChanged() const { return window_.recordChanged(); }
    bool recordUnread() const { return window_.recordUnread(); }
    std::int64_t recordTally() const { return window_.recordTally(); }
    const reports::ReportSettings& reportSettings() const { return window_.reportSettings(); }

  private:
    template <typename T>
    T* named(const char* name) const {
        T* found = window_.findChild<T*>(name);
        if (!found) {
            qFatal("the main window has no %s", name);
        }
        return found;
    }
    windows::FrmMain& window_;

  public:
    QLabel* const Label7 = named<QLabel>("Label7");
    QComboBox* const CmbArtist = named<QComboBox>("CmbArtist");
    QPushButton* const cmdArtist = named<QPushButton>("cmdArtist");
    QLabel* const Label3 = named<QLabel>("Label3");
    QLineEdit* const txtTitle = named<QLineEdit>("txtTitle");
    QLabel* const Label1 = named<QLabel>("Label1");
    QComboBox* const CmbCategory = named<QComboBox>("CmbCategory");
    QPushButton* const cmdCategory = named<QPushButton>("cmdCategory");
    QLabel* const Label9 = named<QLabel>("Label9");
    QComboBox* const cmbFormat = named<QComboBox>("cmbFormat");
    QPushButton* const cmdFormat = named<QPushButton>("cmdFormat");
    QPushButton* const CmdAdd = named<QPushButton>("CmdAdd");
    QPushButton* const CmdDelete = named<QPushButton>("CmdDelete");
    QPushButton* const CmdSearch = named<QPushButton>("CmdSearch");
    QPushButton* const CmdPrev = named<QPushButton>("CmdPrev");
    QPushButton* const CmdNext = named<QPushButton>("CmdNext");
    QPushButton* const CmdUpdate = named<QPushButton>("CmdUpdate");
    QPushButton* const CmdBrowse = named<QPushButton>("CmdBrowse");
    QPushButton* const CmdBookmark = named<QPushButton>("CmdBookmark");
    QPushButton* const CmdFirst = named<QPushButton>("CmdFirst");
    QPushButton* const CmdLast = named<QPushButton>("CmdLast");
    QFrame* const Frame1 = named<QFrame>("Frame1");
    QLabel* const lblMsgBar1 = named<QLabel>("lblMsgBar1");
    QLabel* const lblMsgBar2 = named<QLabel>("lblMsgBar2");
    QLabel* const lblMsgBar3 = named<QLabel>("lblMsgBar3");
    QProgressBar* const ProgressBar1 = named<QProgressBar>("ProgressBar1");
    QLabel* const lblDeveloper = named<QLabel>("lblDeveloper");

    QMenu* const mnuFile = named<QMenu>("mnuFile");
    QAction* const mnuRepairDatabase = named<QAction>("mnuRepairDatabase");
    QAction* const mnuFileDeleteAll = named<QAction>("mnuFileDeleteAll");
    QAction* const mnuFileImport = named<QAction>("mnuFileImport");
    QAction* const mnuFileImportMusic = named<QAction>("mnuFileImportMusic");
    QAction* const mnuFileExport = named<QAction>("mnuFileExport");
    QAction* const mnuSeparator = named<QAction>("mnuSeparator");
    QAction* const mnuExit = named<QAction>("mnuExit");
    QMenu* const mnuEdit = named<QMenu>("mnuEdit");
    QAction* const mnuEditUndo = named<QAction>("mnuEditUndo");
    QAction* const mnuEditRedo = named<QAction>("mnuEditRedo");
    QMenu* const mnuLookupTables = named<QMenu>("mnuLookupTables");
    QAction* const mnuArtistDatabase = named<QAction>("mnuArtistDatabase");
    QAction* const mnuCategoryTable = named<QAction>("mnuCategoryTable");
    QAction* const mnuFormat = named<QAction>("mnuFormat");
    QMenu* const mnuReport = named<QMenu>("mnuReport");
    QAction* const mnuReportFullReport = named<QAction>("mnuReportFullReport");
    QAction* const mnuReportGroupReport = named<QAction>("mnuReportGroupReport");
    QAction* const mnuReportBar = named<QAction>("mnuReportBar");
    QAction* const mnuReportTitle = named<QAction>("mnuReportTitle");
    QAction* const mnuReportPrintToScreen = named<QAction>("mnuReportPrintToScreen");
    QAction* const mnuReportSetup = named<QAction>("mnuReportSetup");
    QMenu* const mnuView = named<QMenu>("mnuView");
    QAction* const mnuViewArtist = named<QAction>("mnuViewArtist");
    QAction* const mnuViewCategory = named<QAction>("mnuViewCategory");
    QAction* const mnuViewFormat = named<QAction>("mnuViewFormat");
    QAction* const mnuViewTitle = named<QAction>("mnuViewTitle");
    QAction* const mnuCounts = named<QAction>("mnuCounts");
    QMenu* const mnuOptions = named<QMenu>("mnuOptions");
    QAction* const mnuOptionsAddArtist = named<QAction>("mnuOptionsAddArtist");
    QAction* const mnuOptionsBookmark = named<QAction>("mnuOptionsBookmark");
    QMenu* const mnuHelp = named<QMenu>("mnuHelp");
    QAction* const mnuHelpHelp = named<QAction>("mnuHelpHelp");
    QAction* const mnuHelpAbout = named<QAction>("mnuHelpAbout");
};

}  // namespace testing
