// The catalogue session: opening the file, the options, the lookup lists and the views.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "db/Catalogue.h"
#include "windows/lookup/FrmArtist.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;
namespace catalogue = db::catalogue;

QString text(const db::Value& value) {
    return QString::fromStdString(value.toText());
}

// Refills a drop-down's list. The items go in together when the refill ends (also when a
// failure cut it short), which is much faster for long lists than one at a time; the text
// the field shows, and the record it belongs to, are left alone.
class ListRefill {
  public:
    explicit ListRefill(QComboBox* box) : box_(box), blocker_(box), text_(box->currentText()) {
        box_->clear();
    }
    ~ListRefill() {
        box_->addItems(items_);
        box_->setEditText(text_);
    }
    void add(const QString& item) { items_ << item; }

  private:
    QComboBox* box_;
    QSignalBlocker blocker_;
    QString text_;
    QStringList items_;
};

}  // namespace

void FrmMain::InitializeDatabase() {
    auto& s = state_;
    app::runSteps(
        {
            [&] { s.cnMain.open((s.AppDir + catalogue::FileName).toStdString()); },
            [&] { s.rsMain.setIndex("Artist"); },
            [&] { s.rsMain.open(s.cnMain, catalogue::mainTable(*db::findView("Artist"))); },
            [&] { markView("ARTIST"); },
            [&] { lblMsgBar2->setText("View by Artist"); },
            [&] { s.rsMain.moveFirst(); },
            [&] { GetOptions(); },
            [&] { GetCategory(); },
            [&] { GetFormat(); },
            [&] { GetArtist(); },
        },
        [&](const db::DbError& error) {
            if (error.number == db::err::NoCurrentRecord) {
                return app::Trap::Resume;
            }
            desktop_.messageBox(app::procedureMessage(error, "InitializeDatabase"), Buttons::Ok,
                                Icon::Critical);
            return app::Trap::Stop;
        });
}

void FrmMain::GetOptions() {
    QAction* const items[] = {mnuOptionsAddArtist, mnuOptionsBookmark, mnuReportPrintToScreen};
    const int keys[] = {catalogue::OptionAutoAddArtist, catalogue::OptionBookmark,
                        catalogue::OptionPrintToScreen};
    db::Recordset rsOptions;
    try {
        for (int i = 0; i < 3; ++i) {
            catalogue::openOption(rsOptions, state_.cnMain, keys[i]);
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
    const std::pair<int, QAction*> options[] = {
        {catalogue::OptionAutoAddArtist, mnuOptionsAddArtist},
        {catalogue::OptionBookmark, mnuOptionsBookmark},
        {catalogue::OptionPrintToScreen, mnuReportPrintToScreen}};
    try {
        for (auto [key, item] : options) {
            catalogue::writeOption(state_.cnMain, key, item->isChecked());
        }
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::procedureMessage(error, "SetOptions"), Buttons::Ok, Icon::None);
    }
}

void FrmMain::GetCategory() {
    ListRefill list(CmbCategory);
    db::Recordset& rs = state_.rsCategory;
    try {
        rs.open(state_.cnMain, catalogue::lookupTable(catalogue::Lookup::Category),
                db::CursorType::ForwardOnly);
        while (!rs.eof()) {
            list.add(text(rs.field("Category")));
            rs.moveNext();
        }
        rs.close();
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::procedureMessage(error, "GetCategory"), Buttons::Ok, Icon::None);
    }
}

void FrmMain::GetFormat() {
    ListRefill list(cmbFormat);
    db::Recordset& rs = state_.rsFormat;
    try {
        rs.open(state_.cnMain, catalogue::lookupTable(catalogue::Lookup::Format),
                db::CursorType::ForwardOnly);
        while (!rs.eof()) {
            list.add(text(rs.field("Format")));
            rs.moveNext();
        }
        rs.close();
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::procedureMessage(error, "GetFormat"), Buttons::Ok, Icon::None);
    }
}

void FrmMain::GetArtist() {
    ListRefill mainList(CmbArtist);
    ListRefill editorList(frmArtist()->CmbArtist);
    db::Recordset& rs = state_.rsArtist;
    try {
        rs.open(state_.cnMain, catalogue::lookupTable(catalogue::Lookup::Artist),
                db::CursorType::Dynamic);
        while (!rs.eof()) {
            const QString artist = text(rs.field("Artist"));
            mainList.add(artist);
            editorList.add(artist);
            rs.moveNext();
        }
    } catch (const db::DbError& error) {
        desktop_.messageBox(app::procedureMessage(error, "GetArtist"), Buttons::Ok, Icon::None);
    }
}

// Reopens the main recordset in a view and shows its first record. A name that is not a
// view leaves it closed. The new order is read before the old one is let go, so a failure
// (which reaches the caller) leaves the window in the view it was in.
void FrmMain::OpenView(const QString& view) {
    SetBusyPointer(true);
    const db::View* chosen = db::findView(view.toStdString());
    if (chosen) {
        db::Recordset reopened;
        try {
            reopened.open(state_.cnMain, catalogue::mainTable(*chosen));
        } catch (const db::DbError&) {
            SetBusyPointer(false);
            throw;
        }
        reopened.setIndex(std::string(chosen->name));
        state_.rsMain.swap(reopened);
        QString key = QString::fromUtf8(chosen->name.data(), chosen->name.size());
        ShowView(key);
    } else {
        state_.rsMain.close();
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
    state_.SavedView = QString::fromStdString(state_.rsMain.index());
}

void FrmMain::GetIndex() {
    OpenView(state_.SavedView);
}

}  // namespace windows
