// The lookup editors' commands: adding a value in two steps, and deleting one.
#include <QComboBox>
#include <QPushButton>

#include "app/AppState.h"
#include "app/text/Characters.h"
#include "sqlite/DbError.h"
#include "windows/controls/LookupList.h"
#include "windows/lookup/LookupEditor.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

}  // namespace

// The first click starts an entry; the second checks it and stores it. The table keeps the
// first few characters of the text, without blanks at either end, so the check for a duplicate, the
// row and both lists all take exactly that stored text; the lists change only once the row is in.
void LookupEditor::CmdAdd_Click() {
    if (mode() == "AddMode") {
        CmdAdd->setText("&Insert");
        dropDown->setFocus();
        dropDown->setEditText(QString());
        setMode("InsertMode");
        CmdDelete->setEnabled(false);
        return;
    }
    setMode("AddMode");
    const QString typed = dropDown->currentText();
    if (typed.trimmed().isEmpty()) {
        if (desktop_.messageBox(kind_.emptyOnAdd, Buttons::RetryCancel, Icon::Information) ==
            Answer::Retry) {
            setMode("InsertMode");
            dropDown->setFocus();
        } else {
            CmdAdd->setText("&Add");
            CmdAdd->setFocus();
            CmdDelete->setEnabled(true);
        }
        return;
    }
    const QString stored = app::keptText(typed, kind_.storedCharacters);
    try {
        readListIfUnread();
        if (inTable(stored)) {
            desktop_.messageBox(kind_.duplicate, Buttons::Ok, Icon::None);
            setMode("InsertMode");
            dropDown->setFocus();
            return;
        }
        state_.session.edits.addName(records(), kind_.table, stored);
    } catch (const db::DbError& error) {
        failed(error, "CmdAdd_Click");  // nothing was stored: still inserting
        setMode("InsertMode");
        dropDown->setFocus();
        return;
    }
    CmdAdd->setText("&Add");
    list_.append(stored);
    dropDown->setEditText(stored);
    DisplayCount();
    setMode("AddMode");
    (kind_.focusAddAfterAdd ? static_cast<QWidget*>(CmdAdd) : dropDown)->setFocus();
    CmdDelete->setEnabled(true);
}

// Deletes the value shown, whether picked from the list or typed. The entries that leave
// the lists are those of the rows that leave the table, found by their places in it (the
// lists hold the table's rows in its order), so the lists stay equal to the table.
void LookupEditor::CmdDelete_Click() {
    const QString value = dropDown->currentText();
    if (value.isEmpty()) {
        desktop_.messageBox(kind_.emptyOnDelete, Buttons::Ok, Icon::Exclamation);
        return;
    }
    std::vector<int> positions;
    try {
        readListIfUnread();
        positions = positionsOf(value);
    } catch (const db::DbError& error) {
        failed(error, "CmdDelete_Click");
        return;
    }
    if (kind_.notInTable && positions.empty()) {
        desktop_.beep();
        desktop_.messageBox(kind_.notInTable, Buttons::Ok, Icon::Information);
        dropDown->setFocus();
        return;
    }
    if (desktop_.messageBox(kind_.confirmDelete, Buttons::YesNo, Icon::Question,
                            kind_.confirmTitle) != Answer::Yes) {
        return;
    }
    try {
        state_.session.edits.deleteName(records(), kind_.table, value, kind_.deletesEveryMatch);
    } catch (const db::DbError& error) {
        failed(error, "CmdDelete_Click");  // nothing was deleted: the lists stay
        return;
    }
    for (auto position = positions.rbegin(); position != positions.rend(); ++position) {
        list_.removeAt(*position);
    }
    DisplayCount();
}

bool LookupEditor::inTable(const QString& value) {
    db::Recordset& rs = records();
    if (rs.recordCount() == 0) {
        return false;
    }
    rs.moveFirst();
    rs.findName(db::catalogue::lookupColumn(kind_.table), value.toStdString());
    return !rs.eof();
}

// The places (from 0) of the rows a delete of `value` removes: the first match, or every
// match for the editors whose delete removes them all.
std::vector<int> LookupEditor::positionsOf(const QString& value) {
    std::vector<int> positions;
    db::Recordset& rs = records();
    const std::string column = db::catalogue::lookupColumn(kind_.table);
    if (rs.recordCount() == 0) {
        return positions;
    }
    rs.moveFirst();
    for (rs.findName(column, value.toStdString()); !rs.eof();) {
        positions.push_back(static_cast<int>(rs.absolutePosition() - 1));
        if (!kind_.deletesEveryMatch) {
            break;
        }
        rs.moveNext();
        if (rs.eof()) {
            break;
        }
        rs.findName(column, value.toStdString());
    }
    return positions;
}

}  // namespace windows
