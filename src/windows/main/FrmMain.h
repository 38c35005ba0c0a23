#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/edits/RecordEditor.h"
#include "app/runs/Runner.h"
#include "app/transfer/RecordImport.h"
#include "reports/Report.h"
#include "windows/controls/MainRequests.h"
#include "windows/report/ReportOutput.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;

namespace app {
struct AppState;
class RecordImport;
class WordsCatchUp;
class History;
}  // namespace app
namespace db {
class DbError;
class Recordset;
namespace catalogue {
enum class Lookup;
}
}  // namespace db
namespace platform {
class Desktop;
}

namespace windows {

class FrmAbout;
class FrmArtist;
class FrmBrowse;
class FrmCounts;
class FrmSearch;
class LookupList;
class MainWindowRuns;
struct LookupKind;

// The record editor: one catalogue record at a time in four fields, with the command
// buttons, the menus and the three-part status bar. Its routines are split over several
// files by concern (layout, menus, database, display, keys).
class FrmMain : public QMainWindow, public MainRequests {
    Q_OBJECT
  public:
    explicit FrmMain(app::AppState& state);
    ~FrmMain() override;

    // What the window holds that a user sees only through its controls.
    bool recordChanged() const { return editor_.changed(); }
    bool recordUnread() const { return editor_.unread(); }
    std::int64_t recordTally() const;
    const reports::ReportSettings& reportSettings() const { return Report1; }

    // Start, keys, close.
    void Form_Load();
    void Form_Resize();
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void Form_KeyPress(int keyAscii);
    void Form_Unload();

    // Routines the other windows use.
    void DisplayRecord();
    void SetBusyPointer(bool busy);
    void UpdateRecordTally(bool increment);
    void MarkRecordChanged();
    void ExitApplication();
    // Saves the edit shown; an update the user did not ask for with Update (a move, a close)
    // asks first.
    enum class Update { Asked, Offered };
    void UpdateRecord(Update how);
    // Offers to save an edit before the record shown changes (a move, a view, a search, a
    // jump), or, in add mode, to add the new entry and leave add mode. False when the edit
    // or entry is still on screen unsaved (the save failed, or a check asked for a retry):
    // the change must not happen, or it is lost.
    bool offerToSaveEdit() override;

    // The catalogue session.
    void InitializeDatabase();
    void GetOptions();
    void SetOptions();
    void GetCategory();
    void GetFormat();
    void GetArtist();
    void OpenView(const QString& view);
    void ShowView(QString& view);
    void SaveViewName();
    void GetIndex();

    // The artist editor, created hidden on first use.
    FrmArtist* frmArtist();

    // The button Enter presses.
    QPushButton* defaultButton() const { return defaultButton_; }
    void setDefaultButton(QPushButton* button);

    // Menu and button handlers.
    void mnuExit_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    void CmdFirst_Click();
    void CmdLast_Click();
    void CmdNext_Click();
    void CmdPrev_Click();
    void CmdBookmark_Click();
    void CmdUpdate_Click();
    void CmdDelete_Click();
    void CmdAdd_Click();
    void CmbArtist_LostFocus();
    void mnuCounts_Click();
    void mnuReportTitle_Click();
    void mnuReportFullReport_Click();
    void mnuReportGroupReport_Click();
    void mnuReportSetup_Click();
    void mnuRepairDatabase_Click();
    void mnuFileDeleteAll_Click();
    void mnuFileImport_Click();
    void mnuFileImportMusic_Click();
    void mnuFileExport_Click();
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    // The session's changes to the catalogue, for Edit > Undo and Redo.
    app::History& history();
    // False when it did not end in a repaired catalogue (declined, or failed and said so).
    bool RepairCompactDatabase(bool ask);
    void DeleteAllRecords();
    // The run of a delete-all, after the questions: every record marked (Esc can stop it),
    // then the batch committed as one or dropped whole.
    struct DeleteAllRun {
        enum Outcome { Deleted, Stopped, Failed } outcome;
        QString failure;
    };
    DeleteAllRun runDeleteAll();
    void PrintReport();
    void mnuReportPrintToScreen_Click();
    void CmdSearch_Click();
    void CmdBrowse_Click();
    // Runs `work` on a thread of its own, the windows painted and taking no input meanwhile:
    // the catalogue's connection is the work's until it ends. Throws what `work` throws. While
    // another program holds the file, `work` is tried again as soon as it lets go, the bar
    // saying so ("... ; `whenFree` as soon as it lets go."); Esc gives up: false.
    bool runBesideWindows(const std::function<void()>& work, const QString& whenFree) override;
    // The same for a write of unknown length, the bar saying `caption` after a moment.
    void runSaying(const QString& caption, const std::function<void()>& work);
    // How a browse fill ended: every row in the grid, stopped by Esc, or not readable.
    enum class Filled { Whole, Stopped, Unreadable };
    Filled FillBrowseGrid();
    // The commands enabled as the mode allows them (the mode machine's table), Search named
    // for what it does in it.
    void showModeCommands() override;
    void say(const QString& status) override;
    void showCurrentRecord() override { DisplayRecord(); }
    void showRecordJumpedTo() override;
    void enterSearchMode(const QString& count, const QString& view) override;
    // The view read again, for records another program added since.
    void readViewAgain() override;
    QWidget& mainWindow() override { return *this; }
    void goToRecord(std::int64_t rowId) override;
    Filled FillBrowseGridSearch();
    // The browse window, made at the first fill; gone when the user closes it.
    FrmBrowse* frmBrowse();
    // The search window, made hidden at its first use.
    FrmSearch* frmSearch();
    void cmdArtist_Click();
    void cmdCategory_Click();
    void cmdFormat_Click();
    void mnuArtistDatabase_Click();
    void mnuCategoryTable_Click();
    void mnuFormat_Click();
    void ComboBox_KeyDown(QComboBox* box, int& keyCode);
    void mnuViewArtist_Click();
    void mnuViewCategory_Click();
    void mnuViewFormat_Click();
    void mnuViewTitle_Click();
    void mnuOptionsAddArtist_Click();
    void mnuOptionsBookmark_Click();
    void CmbArtist_Change();
    void CmbArtist_Click();
    void txtTitle_Change();
    void CmbCategory_Change();
    void CmbCategory_Click();
    void cmbFormat_Change();
    void cmbFormat_Click();

    // Asks the help viewer for one topic of the help file.
    void DisplayHelpOnHelp(int context);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Controls, named as in the design.
    QLabel* Label7;
    QComboBox* CmbArtist;
    QPushButton* cmdArtist;
    QLabel* Label3;
    QLineEdit* txtTitle;
    QLabel* Label1;
    QComboBox* CmbCategory;
    QPushButton* cmdCategory;
    QLabel* Label9;
    QComboBox* cmbFormat;
    QPushButton* cmdFormat;
    QPushButton* CmdAdd;
    QPushButton* CmdDelete;
    QPushButton* CmdSearch;
    QPushButton* CmdPrev;
    QPushButton* CmdNext;
    QPushButton* CmdUpdate;
    QPushButton* CmdBrowse;
    QPushButton* CmdBookmark;
    QPushButton* CmdFirst;
    QPushButton* CmdLast;
    QFrame* Frame1;
    QLabel* lblMsgBar1;
    QLabel* lblMsgBar2;
    QLabel* lblMsgBar3;
    QProgressBar* ProgressBar1;
    QLabel* lblDeveloper;

    QMenu* mnuFile;
    QAction* mnuRepairDatabase;
    QAction* mnuFileDeleteAll;
    QAction* mnuFileImport;
    QAction* mnuFileImportMusic;
    QAction* mnuFileExport;
    QMenu* mnuEdit;
    QAction* mnuEditUndo;
    QAction* mnuEditRedo;
    QAction* mnuSeparator;
    QAction* mnuExit;
    QMenu* mnuLookupTables;
    QAction* mnuArtistDatabase;
    QAction* mnuCategoryTable;
    QAction* mnuFormat;
    QMenu* mnuReport;
    QAction* mnuReportFullReport;
    QAction* mnuReportGroupReport;
    QAction* mnuReportBar;
    QAction* mnuReportTitle;
    QAction* mnuReportPrintToScreen;
    QAction* mnuReportSetup;
    QMenu* mnuView;
    QAction* mnuViewArtist;
    QAction* mnuViewCategory;
    QAction* mnuViewFormat;
    QAction* mnuViewTitle;
    QAction* mnuCounts;
    QMenu* mnuOptions;
    QAction* mnuOptionsAddArtist;
    QAction* mnuOptionsBookmark;
    QMenu* mnuHelp;
    QAction* mnuHelpHelp;
    QAction* mnuHelpAbout;

    reports::ReportSettings Report1;  // the report engine's settings, kept between runs

    using RecordTexts = std::array<QString, 4>;  // artist, title, category, format
    std::array<QLineEdit*, 4> fieldEdits() const;
    RecordTexts fieldTexts() const;
    static RecordTexts readRecordTexts(db::Recordset& source);
    void showTexts(const RecordTexts& texts, bool quietly);
    void setRecordUnread(bool unread);
    void showUnreadRecord(const db::DbError& error);
    void reloadRecord(db::Recordset& records);
    db::Recordset& currentRecords();

    void moveToEnd(bool first);
    void noCurrentRecord();
    void stepOrSayNoRecord(const std::function<void()>& action);
    bool testOrTrue(const std::function<bool()>& test);
    void showSaved(const RecordTexts& kept);
    void emptyFields();
    void enterAddMode();
    bool insertRecord();  // false when the entry was not added
    bool leaveAddModeForJump();
    void returnToRecordBeforeAdd();
    void leaveAddModeAfterCancel();
    void leaveAddModeAfterEscape();
    void fillLookupList(db::catalogue::Lookup which, db::Recordset& rs, LookupList& list);
    void openLookupEditor(const LookupKind& kind, bool fromButton);
    void chooseView(const QString& view);
    void buildControls();
    void buildMenus();
    void connectControls();
    void markView(const QString& key);
    bool handleKey(QObject* watched, QEvent* event);
    bool ownsShortcut(QEvent* event) const;
    void showTally();
    void showRecordCount();
    void resetSearch();
    void runReport(const QString& file);
    struct OptionMarks {
        bool autoAddArtist, bookmark, printToScreen;
    };
    OptionMarks optionMarks() const;
    void restoreOptionMarks(const OptionMarks& marks);
    void closeCatalogue();
    bool refusedAsReadOnly();
    QString heldByAnotherProgram();
    bool offerRepairOfDamage(const db::DbError& damage);
    QString backupCounts(std::optional<std::int64_t> catalogueHolds) const;
    void recountTally();
    void showSortKeyProgress(int percent);
    void waitUntilPainted();
    ReportSent produceReport();
    Filled fillBrowse(db::Recordset& records, std::int64_t expected);
    void refreshBrowse();
    static app::RunPlan importPlan(const QString& caption);
    void importFile(const QString& path);
    void importMusicFolder(const QString& folder);
    QString lastMusicFolder_;
    void sayCatalogueUnread(const db::DbError& error);
    void offerImport(const QStringList& about, app::RecordImport& import,
                     const std::optional<app::RecordImport::Preview>& preview, bool fileColumns,
                     const QStringList& details = {});
    void importRecords(const app::RecordImport& import, bool leaveOutExisting);
    void offerLookupValues(const std::array<std::vector<std::string>, 3>& lacking);
    // The catalogue opened again when another copy of the program put a new file at its path.
    void watchCatalogueFile();
    void followReplacedFile();
    // Records an import added wait for the word index: indexed while the window is idle.
    void catchUpWords();
    std::unique_ptr<app::WordsCatchUp> wordsCatchUp_;
    void followHistory();
    void takeStep(bool back);
    void takeTypingBack();
    bool editPending() const;
    void showEditCommands();
    // Every long run of this window goes through the runner, which holds the other windows.
    std::unique_ptr<MainWindowRuns> runWindows_;
    std::unique_ptr<app::Runner> runner_;

    app::AppState& state_;
    platform::Desktop& desktop_;
    QPushButton* defaultButton_ = nullptr;
    FrmArtist* frmArtist_ = nullptr;
    QPointer<FrmCounts> frmCounts_;  // made at its first opening, gone when closed
    FrmSearch* frmSearch_ = nullptr;
    QPointer<FrmBrowse> frmBrowse_;
    QPointer<FrmAbout> frmAbout_;       // no owner: deleted with this window if still open
    QPrinter printer_;                  // the printer chosen in the printer dialog
    bool damageRepairOffered_ = false;  // a catalogue found damaged is offered one repair
    LookupList* artistList_;
    LookupList* categoryList_;
    LookupList* formatList_;
    app::RecordEditor editor_;  // the record shown against what was typed over it
    QSize fixedSize_;
};

}  // namespace windows
