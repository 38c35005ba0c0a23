// The main window's controls: positions, captions, tool tips, fonts and tab order.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>

#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "windows/controls/CharacterLimit.h"
#include "windows/controls/DropDown.h"
#include "windows/controls/StatusLabel.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

using app::twipsRect;

// Client area of the fixed-size window, inside its frame, caption and menu bar.
constexpr int ClientWidth = 7185;
constexpr int ClientHeight = 5265;
constexpr int ButtonWidth = 1215;
constexpr int ButtonHeight = 375;

// A caption beside a field, as tall as the field so their texts line up.
QLabel* fieldLabel(QWidget* parent, const char* name, const char* caption, int left, int top,
                   int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(twipsRect(left, top, 1770 - left, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QComboBox* dropDown(QWidget* parent, const char* name, const char* tip, QRect geometry) {
    QComboBox* box = makeDropDown(parent, name);
    box->setToolTip(tip);
    box->setGeometry(geometry);
    box->setMaxVisibleItems(16);
    return box;
}

QPushButton* smallButton(QWidget* parent, const char* name, const char* tip, int left, int top,
                         const char* accessibleName) {
    auto* button = new QPushButton("...", parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAccessibleName(accessibleName);
    button->setGeometry(twipsRect(left, top, 315, 315));
    return button;
}

QPushButton* command(QWidget* parent, const char* name, const char* caption, const char* tip,
                     int left, int top) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setGeometry(twipsRect(left, top, ButtonWidth, ButtonHeight));
    button->setAutoDefault(false);
    return button;
}

// A screen reader reads a status label by its text, so it gets a description, not a name.
QLabel* statusLabel(QWidget* parent, const char* name, const char* description, QRect geometry) {
    auto* label = new StatusLabel(parent);
    label->setObjectName(name);
    label->setAccessibleDescription(description);
    label->setGeometry(geometry);
    label->setFont(app::statusFont());
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setIndent(4);
    return label;
}

}  // namespace

void FrmMain::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("FrmMainClient");
    client->setFixedSize(app::twipsSize(ClientWidth, ClientHeight));
    setCentralWidget(client);

    Label7 = fieldLabel(client, "Label7", "Artist:", 690, 570, 315);
    CmbArtist = dropDown(client, "CmbArtist", "Leading Actor", twipsRect(1800, 570, 3435, 315));
    cmdArtist = smallButton(client, "cmdArtist", "", 5220, 570, "Artist list");
    Label3 = fieldLabel(client, "Label3", "Title:", 810, 1140, 285);
    txtTitle = new QLineEdit(client);
    txtTitle->setObjectName("txtTitle");
    txtTitle->setToolTip("Title of the Movie");
    txtTitle->setValidator(new CharacterLimit(30, txtTitle));
    txtTitle->setGeometry(twipsRect(1800, 1140, 5085, 285));
    Label1 = fieldLabel(client, "Label1", "Category:", 810, 1710, 315);
    CmbCategory =
        dropDown(client, "CmbCategory", "Categorize the Movie", twipsRect(1800, 1710, 2235, 315));
    cmdCategory =
        smallButton(client, "cmdCategory", "Open Category Form", 4020, 1710, "Category list");
    Label9 = fieldLabel(client, "Label9", "Format:", 510, 2280, 315);
    cmbFormat =
        dropDown(client, "cmbFormat", "Categorize the Movie", twipsRect(1800, 2280, 1035, 315));
    cmdFormat = smallButton(client, "cmdFormat", "Open Category Form", 2820, 2280, "Format list");

    // Each label names its field for the keyboard and for screen readers.
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {Label7, CmbArtist}, {Label3, txtTitle}, {Label1, CmbCategory}, {Label9, cmbFormat}};
    for (auto [label, field] : buddies) {
        label->setBuddy(field);
        field->setAccessibleName(label->text().chopped(1));
        if (auto* box = qobject_cast<QComboBox*>(field)) {
            box->lineEdit()->setAccessibleName(field->accessibleName());
        }
    }

    CmdAdd = command(client, "CmdAdd", "&Add", "Add a Record", 510, 3450);
    CmdDelete = command(client, "CmdDelete", "&Delete", "Delete a Record", 1770, 3450);
    CmdSearch = command(client, "CmdSearch", "&Search", "Open Search Form", 3030, 3450);
    CmdPrev = command(client, "CmdPrev", "&Previous", "Previous Record", 4290, 3450);
    CmdNext = command(client, "CmdNext", "&Next", "Next Record", 5550, 3450);
    CmdUpdate = command(client, "CmdUpdate", "&Update", "Update a Record", 510, 3870);
    CmdBrowse = command(client, "CmdBrowse", "&Browse", "Open Browse Movie Form", 1770, 3870);
    CmdBookmark =
        command(client, "CmdBookmark", "Bookmar&k", "Book Mark a Record/Goto Bookmark", 3030, 3870);
    CmdBookmark->setEnabled(false);
    CmdFirst = command(client, "CmdFirst", "F&irst", "First Record", 4290, 3870);
    CmdLast = command(client, "CmdLast", "&Last", "Last Record", 5550, 3870);

    Frame1 = new QFrame(client);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(twipsRect(0, 4350, 7185, 525));
    lblMsgBar1 = statusLabel(Frame1, "lblMsgBar1", "Status", twipsRect(60, 150, 2955, 315));
    lblMsgBar2 = statusLabel(Frame1, "lblMsgBar2", "View", twipsRect(3030, 150, 2445, 315));
    lblMsgBar3 = statusLabel(Frame1, "lblMsgBar3", "Record tally", twipsRect(5490, 150, 1635, 315));
    ProgressBar1 = new QProgressBar(Frame1);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    // The window is held while the bar runs; the bar keeps the colours of a live one, so its
    // caption stays readable instead of white on grey.
    QPalette live = ProgressBar1->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText,
                                           QPalette::Text, QPalette::WindowText, QPalette::Base}) {
        live.setColor(QPalette::Disabled, role, live.color(QPalette::Active, role));
    }
    ProgressBar1->setPalette(live);

    lblDeveloper = new QLabel(client);
    lblDeveloper->setObjectName("lblDeveloper");
    lblDeveloper->setGeometry(twipsRect(30, 4890, 7155, 315));
    lblDeveloper->setFont(app::statusFont());
    lblDeveloper->setAlignment(Qt::AlignCenter);

    QWidget* const tabOrder[] = {CmbArtist, cmdArtist, txtTitle,  CmbCategory, cmdCategory,
                                 cmbFormat, cmdFormat, CmdAdd,    CmdDelete,   CmdSearch,
                                 CmdPrev,   CmdNext,   CmdUpdate, CmdBrowse,   CmdBookmark,
                                 CmdFirst,  CmdLast};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    setDefaultButton(CmdAdd);
}

}  // namespace windows
