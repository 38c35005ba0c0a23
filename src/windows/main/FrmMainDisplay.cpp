// Showing the current record in the four fields, and knowing what the user changed there.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <utility>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/edits/History.h"
#include "app/looks/Fonts.h"
#include "app/text/Characters.h"
#include "catalogue/RecordRevisions.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

std::string column(std::size_t field) {
    return std::string(db::RecordColumns[field]);
}

// There is no record to show: a position before the first or after the last, a record
// deleted meanwhile, or no recordset at all. Empty fields say that truthfully.
bool noRecordToShow(const db::DbError& error) {
    return error.number == db::err::NoCurrentRecord || error.number == db::err::RecordDeleted ||
           error.number == db::err::ObjectClosed;
}

}  // namespace

std::array<QLineEdit*, 4> FrmMain::fieldEdits() const {
    return {CmbArtist->lineEdit(), txtTitle, CmbCategory->lineEdit(), cmbFormat->lineEdit()};
}

FrmMain::RecordTexts FrmMain::fieldTexts() const {
    RecordTexts texts;
    const auto edits = fieldEdits();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = edits[i]->text();
    }
    return texts;
}

// The current record's four texts, read from the file in one go (the first field fetches
// the row, so a locked file is waited for once). Null reads as empty text.
FrmMain::RecordTexts FrmMain::readRecordTexts(db::Recordset& source) {
    RecordTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = QString::fromStdString(source.field(column(i)).text().value_or(""));
    }
    return texts;
}

// Writes the texts into the fields, each once and only where it differs: laying text out
// again is most of what showing a record costs, and neighbours often share artist or
// format. Quietly, the fields' change handlers do not hear it.
void FrmMain::showTexts(const RecordTexts& texts, bool quietly) {
    const auto edits = fieldEdits();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (edits[i]->text() != texts[i]) {
            const QSignalBlocker quiet(quietly ? edits[i] : nullptr);
            app::shapeAsNeeded(edits[i], texts[i]);  // before the text is laid out
            edits[i]->setText(texts[i]);
        }
    }
    editor_.shown(fieldTexts());  // as the fields hold them (the title box keeps 30)
}

// A record that could not be read shows as empty fields that take no typing, so nothing
// on screen can be saved over it; moving, or Update, reads it again.
void FrmMain::setRecordUnread(bool unread) {
    if (unread) {
        editor_.shownUnread();
    }
    for (QLineEdit* edit : fieldEdits()) {
        if (edit->isReadOnly() != unread) {
            edit->setReadOnly(unread);
        }
    }
}

void FrmMain::showUnreadRecord(const db::DbError& error) {
    showTexts({}, true);
    setRecordUnread(true);
    desktop_.messageBox(app::procedureMessage(error, "DisplayRecord"), platform::Buttons::Ok,
                        platform::Icon::Exclamation);
}

void FrmMain::DisplayRecord() {
    auto& s = state_;
    RecordTexts texts;
    try {
        texts = readRecordTexts(s.Modes.searching() ? s.session.rsSearch : s.session.rsMain);
    } catch (const db::DbError& error) {
        if (!noRecordToShow(error)) {
            showUnreadRecord(error);
            return;
        }
    }
    // Showing a record is not an edit: the fields stay quiet about it (the change
    // handlers would only ignore it while DisplayingRecord is raised).
    s.DisplayingRecord = true;
    showTexts(texts, true);
    setRecordUnread(false);
    s.DisplayingRecord = false;
    showEditCommands();  // whatever was on screen before is not an edit of this record
}

// Shows the stored values again in place of the user's edits. The fields hear it, so a
// field that changes makes Update the default button, as an edit does.
void FrmMain::reloadRecord(db::Recordset& records) {
    RecordTexts texts;
    try {
        texts = readRecordTexts(records);
    } catch (const db::DbError& error) {
        if (!noRecordToShow(error)) {
            showUnreadRecord(error);
            return;
        }
        if (error.number == db::err::NoCurrentRecord) {
            throw;
        }
    }
    showTexts(texts, false);
    setRecordUnread(false);
}

// The record as saved (a blank typed at an end is seen to go), or as shown before typing: no
// edit pending.
void FrmMain::showSaved(const RecordTexts& kept) {
    const bool displaying = std::exchange(state_.DisplayingRecord, true);
    showTexts(kept, true);
    state_.DisplayingRecord = displaying;
}

}  // namespace windows
