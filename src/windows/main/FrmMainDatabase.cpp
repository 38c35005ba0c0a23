// The catalogue session: opening the file, the options, the lookup lists and the views.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>

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

// Refills drop-down lists with the same items. The items go in together when the refill
// ends (also when a failure cut it short), which is much faster for long lists than one at
// a time; the text each field shows, and the record it belongs to, are left alone.
class ListRefill {
  public:
    explicit ListRefill(std::initializer_list<QComboBox*> boxes) : boxes_(boxes) {
        for (QComboBox* box : boxes_) {
            blockers_.emplace_back(box);
            texts_ << box->currentText();
            box->clear();
        }
    }
    ~ListRefill() {
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            boxes_[i]->addItems(items_);
            boxes_[i]->setEditText(texts_[static_cast<qsizetype>(i)]);
        }
    }
    void add(const QString& item) { items_ << item; }

  private:
    std::vector<QComboBox*> boxes_;
    std::vector<QSignalBlocker> blockers_;
    QStringList texts_;
    QStringList items_;
};

}  // namespace

void FrmMain::InitializeDatabase() {
    auto& s = state_;
    app::runSteps(
        {
            [&] {
                // Waiting for another program that holds the file shows the hourglass until
                // the command that waits is over.
                s.cnMain.setWaitNotice([this] {
                    SetBusyPointer(true);
                    QTimer::singleShot(0, this, [this] { SetBusyPointer(false); });
                });
                s.cnMain.open((s.AppDir + catalogue::FileName).toStdString());
            },
            [&] {
                if (s.cnMain.isReadOnly()) {  // said once here, not at every save
                    desktop_.messageBox(db::Connection::ReadOnlyText, Buttons::Ok,
                                        Icon::Information);
                }
            },
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
    if (state_.cnMain.isReadOnly()) {
        return;  // the user was told at the start that nothing can be stored
    }
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
    fillLookupList(catalogue::Lookup::Category, state_.rsCategory, {CmbCategory});
}

void FrmMain::GetFormat() {
    fillLookupList(catalogue::Lookup::Format, state_.rsFormat, {cmbFormat});
}

// The artist list stays open on its recordset: the artist offer and the artist editor
// work on it.
void FrmMain::GetArtist() {
    fillLookupList(catalogue::Lookup::Artist, state_.rsArtist, {CmbArtist, frmArtist()->CmbArtist});
}

// Fills drop-down lists from one lookup table. A failure (a Null row, say) is said in the
// procedure message of the routine named for the table; the lists keep the rows before it.
void FrmMain::fillLookupList(catalogue::Lookup which, db::Recordset& rs,
                             std::initializer_list<QComboBox*> boxes) {
    const bool keepOpen = which == catalogue::Lookup::Artist;
    const std::string column = catalogue::lookupColumn(which);
    ListRefill lists(boxes);
    try {
        rs.open(state_.cnMain, catalogue::lookupTable(which),
                keepOpen ? db::CursorType::Keyset : db::CursorType::ForwardOnly);
        while (!rs.eof()) {
            lists.add(text(rs.field(column)));
            rs.moveNext();
        }
        if (!keepOpen) {
            rs.close();
        }
    } catch (const db::DbError& error) {
        const QString procedure = "Get" + QString::fromStdString(column);
        desktop_.messageBox(app::procedureMessage(error, procedure), Buttons::Ok, Icon::None);
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
