// Showing the current record in the four fields.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

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
    // of what showing a record costs, and neighbours often share artist or format. Showing
    // a record is not an edit, so the field stays quiet about it (the Change handlers
    // would only ignore it), which also spares each field a round of signals.
    auto show = [](QLineEdit* field, const QString& value) {
        if (field->text() != value) {
            const QSignalBlocker quiet(field);
            field->setText(value);
        }
    };
    show(CmbArtist->lineEdit(), text("Artist"));
    show(txtTitle, text("Title"));
    show(CmbCategory->lineEdit(), text("Category"));
    show(cmbFormat->lineEdit(), text("Format"));
    s.DisplayingRecord = false;
    RecordChanged = false;  // whatever was on screen before is not an edit of this record
}

}  // namespace windows
