// The File menu's maintenance: repairing and compacting the catalogue file, and deleting
// all records.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/edits/History.h"
#include "app/runs/Runner.h"
#include "catalogue/Catalogue.h"
#include "repair/Maintenance.h"
#include "repair/Salvage.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

const QString Uninterrupted =
    "This must be an UN-INTERRUPTED process.\r\nIf the database is extremely large this could "
    "take some time.\r\n\r\n";

// Names the backup of the catalogue this run works on (Zembo.BAK for Zembo.mdb).
QString compactionFailedText(const QString& catalogueName) {
    const QString backup =
        QString::fromStdString(db::maintenance::repairNames(catalogueName.toStdString()).backup);
    return "An error occured during the Repair/Compact Database process!\r\n"
           "The application will end when the Ok button is clicked.\r\n"
           "Try running the application again to make sure the database is ok.\r\n"
           "If Quorvane appears to be ok then try to executing the Repair/Compact \r\n"
           "Database process again.\r\n\r\n"
           "IMPORTANT: If the application cannot find the database go to the\r\n"
           "applications directory and rename " +
           backup + " to " + catalogueName +
           " and\r\n"
           "try running Quorvane application again.";
}

const QString NotRepaired = "The database was not repaired and compacted.\r\n";

QString damagedName(const QString& catalogueName) {
    return QString::fromStdString(
        db::maintenance::repairNames(catalogueName.toStdString()).damaged);
}

// What a salvage of a damaged catalogue saved, for the box that says the repair is done.
QString salvageNote(const db::maintenance::RebuildResult& result, const QString& catalogueName) {
    const QString saved = app::counted(result.saved, "record", "records");
    const QString count =
        result.claimed ? saved + " of the " + QLocale().toString(qlonglong(*result.claimed)) +
                             " it held were saved."
                       : saved + " were saved (it could not say how many it held).";
    return "\r\n\r\nThe catalogue was damaged: " + count + "\r\nThe damaged file is kept as " +
           damagedName(catalogueName) + ".";
}

}  // namespace

void FrmMain::mnuRepairDatabase_Click() {
    RepairCompactDatabase(true);
}

// Neither command can change a catalogue that cannot be written, and the repair would put a
// writable copy in the place of a file the user made read-only: both say so and stop.
bool FrmMain::refusedAsReadOnly() {
    if (!state_.session.cnMain.isReadOnly()) {
        return false;
    }
    desktop_.messageBox(db::Connection::ReadOnlyText, Buttons::Ok, Icon::Exclamation);
    return true;
}

// What another program holding the file says, found before the catalogue is closed (it could
// not be opened again while held); empty when the file is free.
QString FrmMain::heldByAnotherProgram() {
    if (!state_.session.cnMain.isOpen()) {
        return {};  // the rebuild finds a holder itself
    }
    try {
        db::Transaction probe(state_.session.cnMain);
    } catch (const db::DbError& error) {
        return QString::fromStdString(error.description);
    }
    return {};
}

// The option check marks as they stand, kept across a reopen of the catalogue (which would
// read them back from the file, losing a change not yet stored).
FrmMain::OptionMarks FrmMain::optionMarks() const {
    return {mnuOptionsAddArtist->isChecked(), mnuOptionsBookmark->isChecked(),
            mnuReportPrintToScreen->isChecked()};
}

void FrmMain::restoreOptionMarks(const OptionMarks& marks) {
    mnuOptionsAddArtist->setChecked(marks.autoAddArtist);
    state_.AutoAddArtist = marks.autoAddArtist;
    mnuOptionsBookmark->setChecked(marks.bookmark);
    mnuReportPrintToScreen->setChecked(marks.printToScreen);
}

// Closes every recordset and the connection, so the file can be copied and replaced. The
// changes before cannot be taken back over a file made anew (a repair, a delete-all).
void FrmMain::closeCatalogue() {
    state_.session.close();
    showEditCommands();
}

// The catalogue rewritten compacted (see maintenance::rebuildCatalogue): at every moment
// Zembo.mdb is a whole catalogue, the old or the new, and the file as it was is kept as
// Zembo.BAK. A failed compaction ends the program with Zembo.mdb untouched; a failure after it
// is said, and the catalogue is opened again as it is.
bool FrmMain::RepairCompactDatabase(bool ask) {
    auto& s = state_;
    if (ask) {
        if (refusedAsReadOnly()) {
            return false;
        }
        desktop_.beep();
        if (desktop_.messageBox(Uninterrupted + history().clearingWarning() +
                                    "Do you really want to Repair the Database?",
                                Buttons::YesNo, Icon::None, "Repair Database?") != Answer::Yes) {
            return false;
        }
        if (!offerToSaveEdit()) {
            return false;
        }
    }
    SetBusyPointer(true);
    if (const QString holder = heldByAnotherProgram(); !holder.isEmpty()) {
        SetBusyPointer(false);
        desktop_.messageBox(NotRepaired + holder, Buttons::Ok, Icon::Exclamation);
        return false;
    }
    std::optional<app::Runner::Run> run(
        std::in_place, *runner_, app::RunPlan::steady("Repairing/Compacting Database... %p%"));
    const OptionMarks marks = optionMarks();
    lblMsgBar1->setText("Repairing/Compacting Database...");
    app::resumeNext([&] { SaveViewName(); });
    run->showShare(5);
    s.session.rsMain.close();
    run->showShare(10);
    closeCatalogue();
    run->showShare(15);
    // The file work goes on beside the windows, which stay painted: the catalogue is closed,
    // and the rebuild opens connections of its own.
    const auto result =
        run->beside([&, folder = s.session.AppDir.toStdString(),
                     file = s.session.CatalogueName.toStdString()](app::RunProgress& steps) {
            return db::maintenance::rebuildCatalogue(
                folder, [&](int value) { steps.step(value); }, file);
        });
    if (result.outcome == db::maintenance::RebuildResult::CompactionFailed) {
        run.reset();
        desktop_.messageBox(
            compactionFailedText(s.session.CatalogueName) + backupCounts(result.claimed),
            Buttons::Ok, Icon::Critical);
        ExitApplication();
        return false;
    }
    QString failure = QString::fromStdString(result.why);
    QString backupNotKept;
    if (result.outcome == db::maintenance::RebuildResult::BackupNotKept) {
        const auto names = db::maintenance::repairNames(s.session.CatalogueName.toStdString());
        backupNotKept =
            "The database was repaired and compacted, but the file as it was could "
            "not be kept as " +
            QString::fromStdString(names.backup) + ": it is beside it as " +
            QString::fromStdString(names.rebuilt) + ", which the next repair removes.\r\n" +
            failure;
        failure.clear();
    }
    // Opening the catalogue again reads a view's order twice: the windows are painted between.
    const auto stepDone = [&](int value) {
        run->showShare(value);
        desktop_.processEvents();
    };
    stepDone(85);
    InitializeDatabase();
    restoreOptionMarks(marks);
    stepDone(90);
    app::resumeNext([&] { GetIndex(); });
    stepDone(95);
    DisplayRecord();
    run->showShare(100);
    run.reset();
    if (ask) {
        refreshBrowse();  // a delete-all refreshes it at its own end
    }
    if (failure.isEmpty() && !s.session.cnMain.isOpen()) {
        failure = "The catalogue could not be opened again.";
    }
    if (!failure.isEmpty()) {
        SetBusyPointer(false);
        desktop_.messageBox(NotRepaired + failure, Buttons::Ok, Icon::Exclamation);
        lblMsgBar1->clear();
        recountTally();
        return false;
    }
    if (!backupNotKept.isEmpty()) {
        SetBusyPointer(false);
        desktop_.messageBox(backupNotKept, Buttons::Ok, Icon::Exclamation);
    } else if (ask || result.salvaged) {
        SetBusyPointer(false);
        desktop_.messageBox(
            "Repaired and Compacted Quorvane Successfully." +
                (result.salvaged ? salvageNote(result, s.session.CatalogueName) : ""),
            Buttons::Ok, Icon::Information);
    }
    lblMsgBar1->setText("Repair/Compact Successful");
    app::resumeNext([&] { state_.session.tally = s.session.rsMain.recordCount(); });
    lblMsgBar3->setText(QString::number(state_.session.tally) + " Artists ");
    return true;
}

// A catalogue that cannot be opened or read because the file is damaged: the repair is
// offered once. True when it ran (the catalogue is open again, or the program has ended).
bool FrmMain::offerRepairOfDamage(const db::DbError& damage) {
    if (damageRepairOffered_) {
        return false;
    }
    damageRepairOffered_ = true;
    SetBusyPointer(false);
    const QString damaged = "The catalogue " + state_.session.CatalogueName + " is damaged:\r\n" +
                            QString::fromStdString(damage.description);
    try {
        db::salvage::pageTableModule();
    } catch (const db::DbError& missing) {
        desktop_.messageBox(damaged + "\r\n\r\nIt cannot be repaired here: " +
                                QString::fromStdString(missing.description) +
                                "\r\nThe damaged file is kept as it is.",
                            Buttons::Ok, Icon::Exclamation, "Repair Database?");
        return true;
    }
    const QString question =
        damaged +
        "\r\n\r\nRepair it now? What can still be read is saved into a new catalogue, and "
        "the damaged file is kept as " +
        damagedName(state_.session.CatalogueName) + ".";
    if (desktop_.messageBox(question, Buttons::YesNo, Icon::Exclamation, "Repair Database?") !=
        Answer::Yes) {
        return false;
    }
    closeCatalogue();
    show();  // at the start the window is not up yet: the repair's progress is shown in it
    RepairCompactDatabase(false);
    return true;
}

// What the backup beside the catalogue holds against what the catalogue may hold, so that a
// small old backup is not put in the place of a large damaged catalogue unknowingly: a
// paragraph to end a message with, nothing when there is no backup.
QString FrmMain::backupCounts(std::optional<std::int64_t> catalogueHolds) const {
    const QString& folder = state_.session.AppDir;
    const QString& catalogueName = state_.session.CatalogueName;
    const auto names = db::maintenance::repairNames(catalogueName.toStdString());
    const QString backup = QString::fromStdString(names.backup);
    if (!QFileInfo::exists(folder + backup)) {
        return {};
    }
    const auto kept = db::maintenance::recordsIn((folder + backup).toStdString());
    const QString against = catalogueHolds ? catalogueName + " counts " +
                                                 app::counted(*catalogueHolds, "record", "records")
                                           : "how many " + catalogueName + " holds cannot be told";
    const QString said = kept ? backup + " holds " + app::counted(*kept, "record", "records")
                              : backup + " beside it cannot be read as a catalogue either";
    return "\r\n\r\n" + said + "; " + against + ".";
}

// The tally from the catalogue itself, after a run that may have changed it.
void FrmMain::recountTally() {
    app::resumeNext([&] { state_.session.tally = state_.session.rsMain.recordCount(); });
    showTally();
}

}  // namespace windows
