// Showing the current record in the four fields, and writing edits back to it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

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

void FrmMain::UpdateRecord() {
    auto& s = state_;
    const QString noRecords = "No Records to Update, click the Add button to add a record.";
    bool stoppedEarly = false;
    db::Recordset* source = nullptr;
    const bool finished =
        app::runSteps({
                          [&] {
                              if (s.rsMain.recordCount() < 1) {
                                  desktop_.messageBox(noRecords, Buttons::Ok, Icon::Information);
                                  CmdAdd->setFocus();
                                  stoppedEarly = true;
                              }
                          },
                          [&] {
                              if (stoppedEarly || ExplicitUpdate) {
                                  return;
                              }
                              const Answer answer = desktop_.messageBox(
                                  "Changes have been made to record\r\nSave Changes?",
                                  Buttons::YesNo, Icon::Question, "Update Record");
                              if (answer == Answer::No) {
                                  AddMode = false;
                                  RecordChanged = false;
                              }
                          },
                      },
                      [](const db::DbError&) { return app::Trap::Resume; });
    if (!finished || stoppedEarly) {
        return;
    }
    source = s.SearchMode ? &s.rsSearch : &s.rsMain;
    const bool saving = RecordChanged || AddMode;
    auto onNoRecord = [&](const db::DbError& error) {
        if (error.number != db::err::NoCurrentRecord) {
            return app::Trap::Resume;
        }
        desktop_.messageBox(noRecords, Buttons::Ok, Icon::Information);
        CmdAdd->setFocus();
        return app::Trap::Stop;
    };
    const bool completed =
        saving
            ? app::runSteps({
                                [&] {
                                    source->setField(
                                        "Artist", CmbArtist->currentText().left(30).toStdString());
                                },
                                [&] { source->setField("Title", txtTitle->text().toStdString()); },
                                [&] {
                                    source->setField(
                                        "Category",
                                        CmbCategory->currentText().left(15).toStdString());
                                },
                                [&] {
                                    source->setField(
                                        "Format", cmbFormat->currentText().left(5).toStdString());
                                },
                                [&] { source->update(); },
                                [&] { lblMsgBar1->setText("Record Updated"); },
                                [&] {
                                    if (source == &s.rsMain) {
                                        desktop_.beep();
                                    }
                                },
                            },
                            onNoRecord)
            : app::runSteps({
                                [&] { CmbArtist->setEditText(fieldText(*source, "Artist")); },
                                [&] { txtTitle->setText(fieldText(*source, "Title")); },
                                [&] { CmbCategory->setEditText(fieldText(*source, "Category")); },
                                [&] { cmbFormat->setEditText(fieldText(*source, "Format")); },
                            },
                            onNoRecord);
    (void)completed;  // the 3021 path ends with the same flags as a normal end
    RecordChanged = false;
    ExplicitUpdate = true;
}

}  // namespace windows
