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
    CmbArtist->setEditText(QString());
    txtTitle->setText(QString());
    CmbCategory->setEditText(QString());
    cmbFormat->setEditText(QString());
    const db::Recordset& source = s.SearchMode ? s.rsSearch : s.rsMain;
    // A Null field, or no current record at all, leaves its field empty.
    app::resumeNext([&] { CmbArtist->setEditText(fieldText(source, "Artist")); });
    app::resumeNext([&] { txtTitle->setText(fieldText(source, "Title")); });
    app::resumeNext([&] { CmbCategory->setEditText(fieldText(source, "Category")); });
    app::resumeNext([&] { cmbFormat->setEditText(fieldText(source, "Format")); });
    s.DisplayingRecord = false;
}

}  // namespace windows
