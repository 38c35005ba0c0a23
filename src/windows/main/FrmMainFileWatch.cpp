// Another copy of the program may put a new file in the catalogue's place (its repair renames
// the compacted copy over it): this copy would go on reading the file it opened, now the
// backup, and could save nothing. It looks at the path once a second while idle and before
// each save, and opens the catalogue at the path again: the record shown found again by its
// texts, an edit or a new entry kept on screen.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

constexpr int LookEveryMs = 1000;

// The row id of a record holding exactly these texts, if one does.
std::optional<std::int64_t> recordHolding(db::Connection& connection,
                                          const std::vector<db::Value>& texts) {
    if (texts.size() != db::RecordColumns.size()) {
        return std::nullopt;
    }
    db::Statement found(connection,
                        "SELECT rowid FROM Main WHERE Artist IS ? AND Title IS ? AND Category IS ? "
                        "AND Format IS ? LIMIT 1");
    found.bindAll(texts);
    return found.step() ? std::optional(found.integerColumn(0)) : std::nullopt;
}

}  // namespace

void FrmMain::watchCatalogueFile() {
    auto* look = new QTimer(this);
    look->setInterval(LookEveryMs);
    connect(look, &QTimer::timeout, this, [this] {
        if (!runner_->running() && !QApplication::activeModalWidget()) {
            followReplacedFile();
        }
    });
    look->start();
}

void FrmMain::followReplacedFile() {
    auto& s = state_;
    if (!s.session.cnMain.replacedAtItsPath()) {
        return;
    }
    const RecordTexts typed = fieldTexts();
    const bool editing = editor_.changed(), adding = state_.Modes.adding();
    std::vector<db::Value> shown;
    app::resumeNext([&] {
        for (std::string_view column : db::RecordColumns) {
            shown.push_back(currentRecords().field(std::string(column)));
        }
    });
    SaveViewName();
    if (s.Modes.searching()) {  // the results are the old file's: the whole catalogue is shown
        s.Modes.leaveSearching();
        s.session.ReportFilter.clear();
    }
    SetBusyPointer(true);
    closeCatalogue();
    InitializeDatabase();
    app::resumeNext([&] { GetIndex(); });
    bool foundAgain = false;
    app::resumeNext([&] {
        if (const auto id = recordHolding(s.session.cnMain, shown)) {
            s.session.rsMain.setBookmark(*id);
            foundAgain = true;
        }
    });
    if (!adding) {
        DisplayRecord();
    }
    if (editing && !foundAgain) {  // never saved over another record
        SetBusyPointer(false);
        desktop_.messageBox(
            "The record you were changing is not in the catalogue file now in "
            "its place: your change was not saved.",
            platform::Buttons::Ok, platform::Icon::Exclamation);
    } else if (editing || adding) {  // the user's texts again, over the record as it is stored
        const auto edits = fieldEdits();
        for (std::size_t i = 0; i < edits.size(); ++i) {
            const QSignalBlocker quiet(edits[i]);
            edits[i]->setText(typed[i]);
        }
        editor_.setChanged(editing);
        if (editing) {
            setDefaultButton(CmdUpdate);
        }
    }
    recountTally();
    refreshBrowse();
    SetBusyPointer(false);
    lblMsgBar1->setText(
        "The catalogue file was replaced by another copy of the program (a "
        "repair): it was opened again");
}

}  // namespace windows
