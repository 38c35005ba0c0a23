// Showing the current record in the four fields.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {

void FrmMain::DisplayRecord() {
    auto& s = state_;
    s.DisplayingRecord = true;
    const db::Recordset& source = s.SearchMode ? s.rsSearch : s.rsMain;
    // A Null field, or no current record at all, shows as an empty field. Each field is
    // written once, with its final text: moving stays cheap on a large catalogue.
    auto text = [&](const char* name) {
        QString value;
        app::resumeNext([&] { value = app::fieldText(source, name); });
        return value;
    };
    // A field already showing the right text is left alone: laying text out again is most
    // of what showing a record costs, and neighbours often share artist or format.
    auto show = [&](QComboBox* box, const char* name) {
        if (const QString value = text(name); box->currentText() != value) {
            box->setEditText(value);
        }
    };
    show(CmbArtist, "Artist");
    if (const QString title = text("Title"); txtTitle->text() != title) {
        txtTitle->setText(title);
    }
    show(CmbCategory, "Category");
    show(cmbFormat, "Format");
    s.DisplayingRecord = false;
    RecordChanged = false;  // whatever was on screen before is not an edit of this record
}

}  // namespace windows
