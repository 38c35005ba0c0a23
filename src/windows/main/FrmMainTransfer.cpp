// Records in and out as CSV: the export of the records shown (the view, or the search
// results), and the import of a file, previewed, then added in one transaction that Esc
// stops with nothing written.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/runs/Runner.h"
#include "app/text/Characters.h"
#include "app/transfer/RecordExport.h"
#include "catalogue/RecordTransfer.h"
#include "sqlite/DbError.h"
#include "windows/controls/HelpKey.h"
#include "windows/controls/LookupList.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"
#include "windows/transfer/FrmImport.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

constexpr std::size_t NamesListed = 10;
const QString CsvFilter = "CSV files (*.csv *.tsv *.txt);;All files (*)";
const QString NothingImported = "\r\n\r\nNothing was imported.";

using app::counted;

QString refusedWhere(const app::ImportRefused& refused) {
    const QString where = refused.line > 0 ? "line " + QString::number(refused.line) + ": " : "";
    return where + refused.what + ".";
}

QString refusalText(const QString& path, const app::ImportRefused& refused) {
    return QDir::toNativeSeparators(path) + " cannot be imported: " + refusedWhere(refused) +
           NothingImported;
}

// A change to how the previewed file is read, refused: the preview stays as it was.
QString changeRefusedText(const app::ImportRefused& refused) {
    return "The file cannot be read so: " + refusedWhere(refused) +
           "\r\n\r\nThe preview shows it as it was read before.";
}

// The first names, one to a line (a name may hold a comma), and how many more there are.
QString namesText(const std::vector<std::string>& names) {
    QString text;
    for (std::size_t i = 0; i < names.size() && i < NamesListed; ++i) {
        text += "\r\n    " + app::isolated(QString::fromStdString(names[i]));
    }
    if (names.size() > NamesListed) {
        text += "\r\n    and " +
                QLocale().toString(static_cast<qlonglong>(names.size() - NamesListed)) + " more";
    }
    return text;
}

}  // namespace

void FrmMain::mnuFileExport_Click() {
    if (!offerToSaveEdit()) {
        return;
    }
    const QString path = desktop_.chooseSaveFile(this, "Export Records",
                                                 QDir::homePath() + "/Recordings.csv", CsvFilter);
    if (path.isEmpty()) {
        return;
    }
    db::Recordset& records = currentRecords();
    const bool replacing = QFileInfo::exists(path);
    std::int64_t total = 0;
    app::resumeNext([&] { total = records.recordCount(); });
    try {
        // Written beside the windows, which stay painted with the share moving.
        const app::ExportResult result = runner_->run(
            app::RunPlan::steady("Exporting records... %p%"), [&](app::RunProgress& progress) {
                return app::exportRecords(records, path, [&](std::int64_t written) {
                    progress.report(total > 0 ? static_cast<int>(std::min<std::int64_t>(
                                                    written * 100 / total, 100))
                                              : 0);
                });
            });
        lblMsgBar1->setText(counted(result.records, "record", "records") + " exported");
        QString text = counted(result.records, "record was", "records were") + " written to " +
                       QDir::toNativeSeparators(path) + ".";
        if (result.unfilled > 0) {
            text += "\r\n\r\n" + counted(result.unfilled, "record has", "records have") +
                    " no value in any field; in the file they are empty rows, which an import "
                    "leaves out.";
        }
        if (result.mended > 0) {
            text += "\r\n\r\n" + counted(result.mended, "record holds", "records hold") +
                    " bytes that are not UTF-8 text; each such byte was written as the "
                    "replacement character \uFFFD.";
        }
        desktop_.messageBox(text, Buttons::Ok, Icon::Information, "Export Records");
    } catch (const app::ExportFailed& failure) {
        lblMsgBar1->clear();
        desktop_.messageBox("The records could not be exported: " + failure.why + "\r\n\r\n" +
                                (replacing ? QDir::toNativeSeparators(path) + " is as it was."
                                           : QString("Nothing was written.")),
                            Buttons::Ok, Icon::Exclamation, "Export Records");
    }
}

void FrmMain::mnuFileImport_Click() {
    if (state_.Modes.searching() || state_.Modes.adding() || refusedAsReadOnly() ||
        !offerToSaveEdit()) {
        return;
    }
    const QString path =
        desktop_.chooseOpenFile(this, "Import Records", QDir::homePath(), CsvFilter);
    if (path.isEmpty()) {
        return;
    }
    importFile(path);
}

// An import's run: Esc asks whether to stop, and a stop leaves nothing imported.
app::RunPlan FrmMain::importPlan(const QString& caption) {
    return app::RunPlan::asking(caption + " %p%   (Esc stops)",
                                "Stop the import? Nothing will be imported.", "Import Records");
}

void FrmMain::importFile(const QString& path) {
    std::optional<app::RecordImport> import;
    std::optional<app::RecordImport::Preview> preview;
    try {
        app::Runner::Run reading(*runner_,
                                 importPlan("Reading " + QFileInfo(path).fileName() + "..."));
        preview = reading.beside([&](app::RunProgress& progress) {
            import.emplace(path);
            return import->preview(state_.session.cnMain, progress.reporter());
        });
    } catch (const app::ImportRefused& refused) {
        lblMsgBar1->clear();
        desktop_.messageBox(refusalText(path, refused), Buttons::Ok, Icon::Exclamation,
                            "Import Records");
        return;
    } catch (const db::DbError& error) {
        sayCatalogueUnread(error);
        return;
    }
    offerImport(preview ? FrmImport::aboutFile(path, *import) : QStringList(), *import, preview,
                true);
}

void FrmMain::sayCatalogueUnread(const db::DbError& error) {
    lblMsgBar1->clear();
    desktop_.messageBox("The catalogue could not be read: " +
                            QString::fromStdString(error.description) + NothingImported,
                        Buttons::Ok, Icon::Exclamation, "Import Records");
}

// The preview of what was read (nothing when the reading was stopped), and the import of what
// the user accepts. A file's columns may be chosen again there (not a Discogs export's).
void FrmMain::offerImport(const QStringList& about, app::RecordImport& import,
                          const std::optional<app::RecordImport::Preview>& preview,
                          bool fileColumns, const QStringList& details) {
    lblMsgBar1->clear();
    if (!preview) {
        lblMsgBar1->setText("Import stopped, nothing added");
        return;
    }
    FrmImport::ReadAgain readAgain;
    if (fileColumns) {
        readAgain =
            [this, &import](
                const std::function<void()>& change) -> std::optional<app::RecordImport::Preview> {
            try {
                change();
                return import.preview(state_.session.cnMain, [](int) {
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                    return true;
                });
            } catch (const db::DbError& error) {
                sayCatalogueUnread(error);
            } catch (const app::ImportRefused& refused) {
                desktop_.messageBox(changeRefusedText(refused), Buttons::Ok, Icon::Exclamation,
                                    "Import Records");
            }
            return std::nullopt;
        };
    }
    FrmImport window(this, about, import, *preview, readAgain, details);
    if (!fileColumns) {
        window.setWindowTitle("Import Music Folder");  // the only import without a file's columns
    }
    addHelpKey(window, state_, helptopic::Import);
    if (window.exec() != QDialog::Accepted) {
        return;
    }
    importRecords(import, window.existing() == app::RecordImport::Existing::LeftOut);
}

void FrmMain::importRecords(const app::RecordImport& import, bool leaveOutExisting) {
    auto& s = state_;
    if (const QString holder = heldByAnotherProgram(); !holder.isEmpty()) {
        desktop_.messageBox(holder + NothingImported, Buttons::Ok, Icon::Exclamation,
                            "Import Records");
        return;
    }
    std::optional<app::RecordImport::Inserted> inserted;
    app::CatalogueEdits::ImportStep step;
    QString failure;
    {
        app::Runner::Run run(*runner_, importPlan("Importing records..."));
        try {
            // Beside the windows with its step for Undo, whose records' digests take a while.
            inserted = run.beside([&](app::RunProgress& running) {
                const auto progress = running.reporter();
                auto added = s.session.edits.importRecords(
                    [&] {
                        return import.insertAll(s.session.cnMain, progress,
                                                leaveOutExisting
                                                    ? app::RecordImport::Existing::LeftOut
                                                    : app::RecordImport::Existing::Added);
                    },
                    step);
                // A stop chosen after the last row (while the orders were placed) is heard
                // here: the records written are taken back whole, as Undo would take them.
                if (added && !progress(100)) {
                    s.session.edits.takeBackImport(step);
                    added.reset();
                }
                return added;
            });
        } catch (const db::DbError& error) {
            failure = QString::fromStdString(error.description);
        }
    }
    CmdAdd->setFocus();
    s.session.edits.keepImport(step);
    if (!failure.isEmpty()) {
        lblMsgBar1->clear();
        desktop_.messageBox("The records could not be imported: " + failure + NothingImported,
                            Buttons::Ok, Icon::Exclamation, "Import Records");
        return;
    }
    if (!inserted) {
        lblMsgBar1->setText("Import stopped, nothing added");
        return;
    }
    const QString imported =
        counted(inserted->added, "record", "records") + " imported" +
        (inserted->leftOut > 0
             ? ", " + QLocale().toString(static_cast<qlonglong>(inserted->leftOut)) +
                   " already there left out"
             : QString());
    lblMsgBar1->setText(imported);
    // The records shown again from the top of the view, the tally counted, before the lists
    // are offered the names they lack. Another program holding the file is waited for.
    SaveViewName();
    bool viewRead = true;
    app::resumeNext([&] {
        try {
            GetIndex();
        } catch (const db::DbError& error) {
            viewRead = !error.busy;  // the wait stopped: the record shown stays as it was
            throw;
        }
    });
    if (viewRead) {
        DisplayRecord();
    }
    recountTally();
    refreshBrowse();
    catchUpWords();
    offerLookupValues(inserted->lacking);
    lblMsgBar1->setText(viewRead ? imported
                                 : imported +
                                       "; choose a view to see them (another program "
                                       "held the catalogue file)");
}

// Offers to add to each lookup list the values of the imported records it lacks.
void FrmMain::offerLookupValues(const std::array<std::vector<std::string>, 3>& lacking) {
    using db::catalogue::Lookup;
    const struct {
        Lookup table;
        const char* one;
        const char* many;
        const char* list;
        LookupList* items;
    } kinds[] = {{Lookup::Artist, "artist", "artists", "Artist", artistList_},
                 {Lookup::Category, "category", "categories", "Category", categoryList_},
                 {Lookup::Format, "format", "formats", "Format", formatList_}};
    for (std::size_t kind = 0; kind < 3; ++kind) {
        const auto& names = lacking[kind];
        if (names.empty()) {
            continue;
        }
        const auto& k = kinds[kind];
        const QString question =
            "The imported records name " + counted(std::int64_t(names.size()), k.one, k.many) +
            " that the " + k.list + " list does not hold:" + namesText(names) + "\r\n\r\nAdd " +
            (names.size() == 1 ? "it" : "them") + " to the list?";
        if (desktop_.messageBox(question, Buttons::YesNo, Icon::Question, "Import Records") !=
            Answer::Yes) {
            continue;
        }
        try {
            state_.session.edits.addNames(k.table, names);
        } catch (const db::DbError& error) {
            desktop_.messageBox("The " + QString(k.list) + " list could not be extended: " +
                                    QString::fromStdString(error.description),
                                Buttons::Ok, Icon::Exclamation, "Import Records");
            continue;
        }
        for (const std::string& name : names) {
            k.items->append(QString::fromStdString(name));
        }
    }
}

}  // namespace windows
