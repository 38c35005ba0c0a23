// The catalogue session: opening the file, the options, the lookup lists and the views.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/runs/Runner.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Collation.h"
#include "catalogue/Orders.h"
#include "windows/controls/LookupList.h"
#include "windows/lookup/LookupEditor.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;
namespace catalogue = db::catalogue;

// Esc while another program held the file: the records shown are those read before.
const QString ViewNotRead =
    "Stopped while another program held the catalogue file: the records were not read again.";

}  // namespace

void FrmMain::InitializeDatabase() {
    auto& s = state_;
    app::runSteps(
        {
            // Named first: a repair of damage found on the way reopens the view it names.
            [&] { s.session.rsMain.setIndex("Artist"); },
            [&] {
                // Waiting for another program that holds the file shows the hourglass until
                // the command that waits is over.
                s.session.cnMain.setWaitNotice([this] {
                    if (QThread::currentThread() != thread()) {
                        return;  // a run's work: the run shows the busy pointer already
                    }
                    SetBusyPointer(true);
                    QTimer::singleShot(0, this, [this] { SetBusyPointer(false); });
                });
                s.session.open();
            },
            [&] {
                if (s.session.cnMain.isReadOnly()) {  // said once here, not at every save
                    desktop_.messageBox(db::Connection::ReadOnlyText, Buttons::Ok,
                                        Icon::Information);
                }
            },
            [&] {
                // A remaking later, inside a work beside the windows, is not shown: only the
                // windows' thread may touch them (that work's own bar runs meanwhile).
                catalogue::prepareOrders(s.session.cnMain, [this](int percent) {
                    if (QThread::currentThread() == thread()) {
                        showSortKeyProgress(percent);
                    }
                });
            },
            [&] {
                // Inside a run (a repair opening the catalogue again), beside the windows.
                const auto open = [&] {
                    s.session.rsMain.open(s.session.cnMain,
                                          catalogue::mainTable(*db::findView("Artist")));
                };
                runner_->running()
                    ? runner_->run(app::RunPlan::steady({}), [&](app::RunProgress&) { open(); })
                    : open();
            },
            [&] { markView("ARTIST"); }, [&] { lblMsgBar2->setText("View by Artist"); },
            [&] { s.session.rsMain.moveFirst(); }, [&] { GetOptions(); }, [&] { GetCategory(); },
            [&] { GetFormat(); }, [&] { GetArtist(); },
            [&] { catchUpWords(); },  // an import left unindexed when the program last ended
        },
        [&](const db::DbError& error) {
            if (error.number == db::err::NoCurrentRecord) {
                return app::Trap::Resume;
            }
            if (error.damaged && offerRepairOfDamage(error)) {
                return app::Trap::Stop;  // the repair opened the catalogue again, or ended
            }
            desktop_.messageBox(app::procedureMessage(error, "InitializeDatabase") +
                                    (error.foreign ? backupCounts(std::nullopt) : QString()),
                                Buttons::Ok, Icon::Critical);
            return app::Trap::Stop;
        });
}

// Every sort key is being made (a new collation, or a catalogue older than its keys): the
// window shows how far, and takes no input meanwhile.
void FrmMain::showSortKeyProgress(int percent) {
    if (percent == 0) {
        show();
        // The language's name; "root" is the order of no language in particular.
        const QString language = QString::fromStdString(db::collation::localeName());
        const QString sorting =
            language == "root" ? "Sorting the names..." : "Sorting the names (" + language + ")...";
        lblMsgBar1->setText(sorting);
        runWindows_->showBar(sorting + " %p%");
        SetBusyPointer(true);
        waitUntilPainted();
    }
    runWindows_->showShare(percent);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (percent == 100) {
        runWindows_->hideBar();
        lblMsgBar1->clear();
    }
}

// A window just shown is painted only once the display has mapped it, which the first
// events may not yet tell: without the wait, it would stand black until the next progress.
void FrmMain::waitUntilPainted() {
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void FrmMain::GetOptions() {
    QAction* const items[] = {mnuOptionsAddArtist, mnuOptionsBookmark, mnuReportPrintToScreen};
    const int keys[] = {catalogue::OptionAutoAddArtist, catalogue::OptionBookmark,
                        catalogue::OptionPrintToScreen};
    db::Recordset rsOptions;
    try {
        for (int i = 0; i < 3; ++i) {
            catalogue::openOption(rsOptions, state_.session.cnMain, keys[i]);
            items[i]->setChecked(rsOptions.field("optValue").toBoolean());
            if (keys[i] == catalogue::OptionAutoAddArtist) {
                state_.AutoAddArtist = mnuOptionsAddArtist->isChecked();
            }
            rsOptions.close();
        }
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::procedureMessage(error, "GetOptions"), Buttons::Ok, Icon::None);
    }
}

void FrmMain::SetOptions() {
    if (state_.session.cnMain.isReadOnly()) {
        return;  // the user was told at the start that nothing can be stored
    }
    const std::pair<int, QAction*> options[] = {
        {catalogue::OptionAutoAddArtist, mnuOptionsAddArtist},
        {catalogue::OptionBookmark, mnuOptionsBookmark},
        {catalogue::OptionPrintToScreen, mnuReportPrintToScreen}};
    try {
        for (auto [key, item] : options) {
            catalogue::writeOption(state_.session.cnMain, key, item->isChecked());
        }
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::procedureMessage(error, "SetOptions"), Buttons::Ok, Icon::None);
    }
}

void FrmMain::GetCategory() {
    fillLookupList(catalogue::Lookup::Category, state_.session.rsCategory, *categoryList_);
}

void FrmMain::GetFormat() {
    fillLookupList(catalogue::Lookup::Format, state_.session.rsFormat, *formatList_);
}

// The artist list stays open on its recordset: the artist offer and the artist editor
// work on it. The editor shows the same list, so it comes into being here, hidden.
void FrmMain::GetArtist() {
    frmArtist();
    fillLookupList(catalogue::Lookup::Artist, state_.session.rsArtist, *artistList_);
}

// Fills a drop-down list from one lookup table, in one pass over it. A failure (a Null
// row, say) is said in the procedure message of the routine named for the table; the list
// keeps the rows before it.
void FrmMain::fillLookupList(catalogue::Lookup which, db::Recordset& rs, LookupList& list) {
    const std::string column = catalogue::lookupColumn(which);
    TextList items;
    bool sawNull = false;
    try {
        rs.openReading(state_.session.cnMain, catalogue::lookupTable(which), column,
                       [&](std::optional<std::string_view> value) {
                           sawNull = sawNull || !value;
                           if (!sawNull) {
                               items.add(*value);
                           }
                       });
        if (which != catalogue::Lookup::Artist) {
            rs.close();  // only the artist list keeps its recordset open
        }
        if (sawNull) {
            throw db::DbError(db::err::InvalidUseOfNull, "Invalid use of Null");
        }
    } catch (const db::DbError& error) {
        const QString procedure = "Get" + QString::fromStdString(column);
        desktop_.messageBox(app::procedureMessage(error, procedure), Buttons::Ok, Icon::None);
    }
    list.fill(std::move(items));
}

// Reopens the main recordset in a view and shows its first record. A name that is not a
// view leaves it closed. The new order is read before the old one is let go, so a failure
// (which reaches the caller) leaves the window in the view it was in.
void FrmMain::OpenView(const QString& view) {
    SetBusyPointer(true);
    const db::View* chosen = db::findView(view.toStdString());
    if (chosen) {
        db::Recordset reopened;
        bool read = false;
        try {
            // A view of a million records takes a moment to read: the windows stay painted.
            read = runBesideWindows(
                [&] { reopened.open(state_.session.cnMain, catalogue::mainTable(*chosen)); },
                "the records are read");
        } catch (const db::DbError&) {
            SetBusyPointer(false);
            throw;
        }
        if (!read) {
            SetBusyPointer(false);
            db::DbError stopped(db::err::Unspecified, ViewNotRead.toStdString());
            stopped.busy = true;
            throw stopped;
        }
        reopened.setIndex(std::string(chosen->name));
        state_.session.rsMain = std::move(reopened);
        QString key = QString::fromUtf8(chosen->name.data(), chosen->name.size());
        ShowView(key);
    } else {
        state_.session.rsMain.close();
    }
    DisplayRecord();
    SetBusyPointer(false);
}

void FrmMain::ShowView(QString& view) {
    view = view.toUpper();
    if (const db::View* known = db::findViewByKey(view.toStdString())) {
        markView(view);
        lblMsgBar2->setText(QString::fromUtf8(known->label.data(), known->label.size()));
    }
}

void FrmMain::markView(const QString& key) {
    const std::pair<const char*, QAction*> items[] = {{"ARTIST", mnuViewArtist},
                                                      {"TITLE", mnuViewTitle},
                                                      {"CATEGORY", mnuViewCategory},
                                                      {"FORMAT", mnuViewFormat}};
    for (auto [itemKey, item] : items) {
        item->setChecked(key == QLatin1String(itemKey));
    }
}

void FrmMain::SaveViewName() {
    state_.session.saveViewName();
}

void FrmMain::GetIndex() {
    OpenView(state_.session.SavedView);
}

}  // namespace windows
