// Showing the current record in the four fields.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

QString fieldText(const db::Recordset& rs, const char* name) {
    return QString::fromStdString(rs.field(name).toText());
}

}  // namespace

void FrmMain::DisplayRecord() {
    auto& s = state_;
    s.DisplayingRecord = true;
    const db::Recordset& source = s.SearchMode ? s.rsSearch : s.rsMain;
    // A Null field, or no current record at all, shows as an empty field. Each field is
    // written once, with its final text: moving stays cheap on a large catalogue.
    auto text = [&](const char* name) {
        QString value;
        app::resumeNext([&] { value = fieldText(source, name); });
        return value;
    };
    CmbArtist->setEditText(text("Artist"));
    txtTitle->setText(text("Title"));
    CmbCategory->setEditText(text("Category"));
    cmbFormat->setEditText(text("Format"));
    s.DisplayingRecord = false;
    RecordChanged = false;  // whatever was on screen before is not an edit of this record
}

}  // namespace windows
