// The search itself: go to a record, or set a criteria that puts the main window into
// search mode.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Words.h"
#include "reports/Formula.h"
#include "windows/controls/MainRequests.h"
#include "windows/search/FrmSearch.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;

}  // namespace

// One step of the search under its failure rules: with no current record the search ends
// with a message; a closed object is passed over silently; any other failure is said, and
// the search goes on. False once the search has ended.
bool FrmSearch::step(const std::function<void()>& action) {
    if (stopped_) {
        return false;
    }
    try {
        action();
    } catch (const db::DbError& error) {
        if (error.number == db::err::NoCurrentRecord) {
            state_.desktop.messageBox("No Current Record!", Buttons::Ok, Icon::Critical, "ERROR");
            state_.desktop.setBusyPointer(false);
            stopped_ = true;
        } else if (error.number != db::err::ObjectClosed) {
            state_.desktop.messageBox(QStringLiteral("Error#: %1 - %2")
                                          .arg(error.number)
                                          .arg(QString::fromStdString(error.description)),
                                      Buttons::Ok, Icon::Critical);
        }
    }
    return !stopped_;
}

// A condition that fails to be evaluated counts as met, as it always has.
bool FrmSearch::testOrTrue(const std::function<bool()>& test) {
    bool result = true;
    step([&] { result = test(); });
    return result;
}

void FrmSearch::CmdSearch_Click() {
    auto& desktop = state_.desktop;
    if (optGotoRecord->isChecked()) {
        if (txtSearchString->text().isEmpty()) {
            desktop.beep();
            desktop.messageBox("Enter a value to search for.", Buttons::Ok, Icon::None);
            txtSearchString->setFocus();
            return;
        }
    } else if (optContains->isChecked()) {
        const auto words = db::catalogue::searchWords(txtContains->text().toStdString());
        if (words.empty() || words.size() > db::catalogue::MostSearchWords) {
            desktop.beep();
            desktop.messageBox(words.empty() ? QString("Enter the words to find.")
                                             : QString("Too many words to find: at most %1 are "
                                                       "looked for at once.")
                                                   .arg(db::catalogue::MostSearchWords),
                               Buttons::Ok, Icon::None);
            txtContains->setFocus();
            return;
        }
    } else if (txtFrom->text().isEmpty() || txtTo->text().isEmpty()) {
        desktop.beep();
        desktop.messageBox("Enter a 'FROM' and 'TO' value to search!", Buttons::Ok, Icon::None);
        txtFrom->setFocus();
        return;
    }
    // A search moves away from the record shown: its edit is offered for saving first.
    if (!main_.offerToSaveEdit()) {
        return;
    }
    searchFor();
}

void FrmSearch::searchFor() {
    auto& s = state_;
    stopped_ = false;
    state_.desktop.setBusyPointer(true);
    s.ReturnBookmark.reset();
    if (optContains->isChecked()) {  // an empty catalogue holds no words: "Search not found"
        app::resumeNext([&] { s.ReturnBookmark = s.session.rsMain.bookmark(); });
    } else {
        step([&] { s.ReturnBookmark = s.session.rsMain.bookmark(); });
    }
    step([&] { s.session.saveViewName(); });
    const bool found = optGotoRecord->isChecked() ? gotoRecordFound()
                       : optContains->isChecked() ? containsFound()
                                                  : criteriaFound();
    if (!found || stopped_) {
        return;
    }
    if (optGotoRecord->isChecked()) {
        main_.showRecordJumpedTo();
    }
    state_.desktop.setBusyPointer(false);
    hide();
}

// The first record of the current view whose field begins with the text, the text taken
// literally (its %, _ and quotes are plain characters).
bool FrmSearch::gotoRecordFound() {
    auto& s = state_;
    step([&] {
        if (!s.BookmarkPending) {
            s.SavedBookmark = s.session.rsMain.bookmark();
            s.BookmarkPending = true;
        }
    });
    step([&] { GetFieldName(); });
    step([&] { s.session.rsMain.moveFirst(); });
    step([&] {
        const auto match = db::catalogue::beginsWith(fieldTag().toStdString(),
                                                     txtSearchString->text().toStdString());
        s.session.rsMain.findWhere(match.where, match.params, match.table);
    });
    if (stopped_) {
        return false;
    }
    if (testOrTrue([&] { return s.session.rsMain.eof(); })) {
        s.desktop.beep();
        s.session.ReportFilter.clear();
        s.desktop.messageBox("Search not found", Buttons::Ok, Icon::None);
        returnToRecordBeforeSearch();
        app::SelectAllText(txtSearchString);
        state_.desktop.setBusyPointer(false);
        return false;
    }
    return true;
}

// The records whose field lies from the From text up to every value beginning with the To
// text: the main window shows only them until the search is reset.
bool FrmSearch::criteriaFound() {
    const QString from = txtFrom->text();
    const QString to = txtTo->text();
    step([&] { GetFieldName(); });
    const QString tag = fieldTag();
    if (!resultsOpened(
            [&] {
                return db::catalogue::mainRange(tag.toStdString(), from.toStdString(),
                                                to.toStdString());
            },
            txtFrom)) {
        return false;
    }
    // The same records in the report notation, in the order of the field searched.
    return enterSearchMode(QString::fromStdString(reports::rangeSelection(
                               tag.toStdString(), from.toStdString(), to.toStdString())),
                           tag);
}

// The records holding every word, in the order of the view shown: the main window shows only
// them until the search is reset, and a report sorts and selects as they are.
bool FrmSearch::containsFound() {
    auto& s = state_;
    const QString words = txtContains->text();
    const std::string viewName = s.session.rsMain.index();
    const db::View* view = db::findView(viewName);
    if (!resultsOpened(
            [&] {
                return db::catalogue::mainWhere(
                    *(view ? view : &db::views()[0]),
                    db::catalogue::wordMatch(db::catalogue::searchWords(words.toStdString())));
            },
            txtContains)) {
        return false;
    }
    CmbField->setProperty("tag", QString::fromStdString(viewName));  // the report's order
    return enterSearchMode(QString::fromStdString(reports::containsSelection(words.toStdString())),
                           {});
}

// The search's results opened from `source`; none found is said, the record shown before the
// search shown again and the focus put in `retry`.
bool FrmSearch::resultsOpened(const std::function<db::TableSource()>& source, QLineEdit* retry) {
    auto& s = state_;
    step([&] { s.session.rsSearch.close(); });
    // A search of words through a million records may take a moment: the windows stay painted.
    step([&] {
        if (!main_.runBesideWindows([&] { s.session.rsSearch.open(s.session.cnMain, source()); },
                                    "the search runs")) {
            stopped_ = true;  // Esc while another program held the file
            state_.desktop.setBusyPointer(false);
            main_.say("Search stopped: another program holds the catalogue file");
            retry->setFocus();
        }
    });
    if (stopped_) {
        return false;
    }
    if (testOrTrue([&] { return s.session.rsSearch.eof() && s.session.rsSearch.bof(); })) {
        s.desktop.beep();
        s.desktop.messageBox("Search not found", Buttons::Ok, Icon::None);
        returnToRecordBeforeSearch();
        retry->setFocus();
        state_.desktop.setBusyPointer(false);
        return false;
    }
    return true;
}

// The first result shown and counted, and the main window in search mode with `reportFilter`,
// naming `view` (when given) as the order shown.
bool FrmSearch::enterSearchMode(const QString& reportFilter, const QString& view) {
    auto& s = state_;
    QString count;
    step([&] { s.session.rsSearch.moveFirst(); });
    step([&] { count = QString::number(s.session.rsSearch.recordCount()) + " records "; });
    if (stopped_) {
        return false;
    }
    s.session.ReportFilter = reportFilter;
    main_.enterSearchMode(count, view);
    return true;
}

void FrmSearch::returnToRecordBeforeSearch() {
    auto& s = state_;
    step([&] {
        if (s.ReturnBookmark) {
            s.session.rsMain.setBookmark(*s.ReturnBookmark);
        }
    });
    main_.showCurrentRecord();
}

}  // namespace windows
