// The lookup editors' window: controls, opening, closing and the count.
#include "windows/lookup/LookupEditor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "windows/controls/DropDown.h"
#include "windows/controls/HelpKey.h"
#include "windows/controls/LookupList.h"

namespace windows {

LookupEditor::LookupEditor(const LookupKind& kind, app::AppState& state, LookupList& list,
                           QLabel* mainStatus, QWidget* owner)
    : QDialog(owner),
      kind_(kind),
      state_(state),
      desktop_(state.desktop),
      list_(list),
      mainStatus_(mainStatus) {
    setObjectName(kind.formName);
    // Blocks its owner and the owner's windows, not the help viewer, a window of its own.
    setWindowModality(Qt::WindowModal);
    setWindowTitle(kind.caption);
    setFont(app::windowFont());
    setFixedSize(app::twipsSize(3840, 3000));
    buildControls();
    list_.attach(dropDown);
    addHelpKey(*this, state, helptopic::Lists);
    if (!kind_.keptHidden) {
        Form_Load();
    }
}

LookupEditor::~LookupEditor() {
    if (!kind_.keptHidden) {
        records().close();  // the category and format editors own theirs while open
    }
}

void LookupEditor::buildControls() {
    using app::twipsRect;
    Label1 = new QLabel(kind_.label, this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(twipsRect(210, 120, 1245, 255));
    dropDown = makeDropDown(this, kind_.dropDownName);
    dropDown->setGeometry(twipsRect(180, 420, 3345, 315));
    Label1->setBuddy(dropDown);
    dropDown->setAccessibleName(QString(kind_.label).remove('&').remove(':'));
    dropDown->lineEdit()->setAccessibleName(dropDown->accessibleName());

    auto button = [this](const char* name, const char* caption, int left, int top) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(name);
        control->setGeometry(twipsRect(left, top, 1005, 315));
        return control;
    };
    CmdAdd = button("CmdAdd", "&Add", kind_.addLeft, kind_.buttonsTop);
    CmdDelete = button("CmdDelete", "&Delete", kind_.deleteLeft, kind_.buttonsTop);
    CmdReturn = button("CmdReturn", "&Return", 2460, 2235);
    CmdAdd->setDefault(true);
    setMode("AddMode");

    lblMsgBar1 = new QLabel(this);
    lblMsgBar1->setObjectName("lblMsgBar1");
    lblMsgBar1->setGeometry(twipsRect(0, 2730, 3825, 255));
    lblMsgBar1->setFrameShape(QFrame::Panel);
    lblMsgBar1->setFrameShadow(QFrame::Sunken);
    lblMsgBar1->setAccessibleDescription("Count");

    setTabOrder(dropDown, CmdAdd);
    setTabOrder(CmdAdd, CmdDelete);
    setTabOrder(CmdDelete, CmdReturn);

    connect(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    connect(CmdDelete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(CmdReturn, &QPushButton::clicked, this, [this] { CmdReturn_Click(); });
}

// The category and format editors read their list afresh at every opening, from a
// recordset they keep while open. A Null row is listed as empty text.
void LookupEditor::Form_Load() {
    try {
        readList();
    } catch (const db::DbError& error) {
        failed(error, "Form_Load");
    }
    mainStatus_->clear();
}

void LookupEditor::readList() {
    TextList items;
    records().openReading(state_.session.cnMain, db::catalogue::lookupTable(kind_.table),
                          db::catalogue::lookupColumn(kind_.table),
                          [&](std::optional<std::string_view> value) {
                              items.add(value.value_or(std::string_view()));
                          });
    list_.fill(std::move(items));
}

// An editor that could not read its list when it opened (another program held the file)
// reads it at its next command, so that the command works once the file is free.
void LookupEditor::readListIfUnread() {
    if (!kind_.keptHidden && !records().isOpen()) {
        readList();
        DisplayCount();
    }
}

// Showing the editor (the artist editor at every opening) puts it in order for the user.
void LookupEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (kind_.keptHidden) {
        CmdAdd->setFocus();
        mainStatus_->clear();
    }
    DisplayCount();
}

void LookupEditor::CmdReturn_Click() {
    reject();
}

void LookupEditor::reject() {
    if (kind_.keptHidden) {
        ResetForm();
    } else {
        QDialog::reject();
    }
}

void LookupEditor::ResetForm() {
    dropDown->setEditText(QString());
    CmdAdd->setText("&Add");
    setMode("AddMode");
    hide();
}

QString LookupEditor::mode() const {
    return CmdAdd->property("tag").toString();
}

void LookupEditor::setMode(const char* mode) {
    CmdAdd->setProperty("tag", QString(mode));
}

// "12  Artists ": the number (nothing for none) and a blank, then the word with its blanks.
void LookupEditor::DisplayCount() {
    const int count = list_.count();
    lblMsgBar1->setText((count ? QString::number(count) : QString()) + " " +
                        (count == 1 ? kind_.one : kind_.many));
}

db::Recordset& LookupEditor::records() {
    switch (kind_.table) {
        case db::catalogue::Lookup::Artist:
            return state_.session.rsArtist;
        case db::catalogue::Lookup::Category:
            return state_.session.rsCategory;
        case db::catalogue::Lookup::Format:
            break;
    }
    return state_.session.rsFormat;
}

void LookupEditor::failed(const db::DbError& error, const char* procedure) {
    desktop_.messageBox(app::procedureMessage(error, procedure, kind_.formName),
                        platform::Buttons::Ok, platform::Icon::Exclamation);
}

}  // namespace windows
