// The search window: its controls, its two modes and the main window's locked commands.
#include "windows/search/FrmSearch.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "windows/controls/CharacterLimit.h"
#include "windows/controls/HelpKey.h"
#include "windows/controls/MainRequests.h"

namespace windows {
namespace {

using app::twipsRect;

constexpr int TextCharacters = 15;
constexpr int ContainsRowTwips = 330;  // the third search type's row below the other two

QLineEdit* textBox(QWidget* parent, const char* name, QRect geometry, const char* accessibleName) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setValidator(new CharacterLimit(TextCharacters, box));
    box->setAccessibleName(accessibleName);
    return box;
}

}  // namespace

FrmSearch::FrmSearch(app::AppState& state, MainRequests& main)
    : QDialog(&main.mainWindow()), state_(state), main_(main) {
    setObjectName("FrmSearch");
    // Blocks its owner and the owner's windows, not the help viewer, a window of its own.
    setWindowModality(Qt::WindowModal);
    setWindowTitle("Movie Search - Goto a Record");
    setFont(app::windowFont());
    setFixedSize(app::twipsSize(6690, 2910 + ContainsRowTwips));
    buildControls();
    // Form_Load: the four fields, the first one chosen.
    CmbField->addItems({"ARTIST", "TITLE", "CATEGORY", "FORMAT"});
    CmbField->setCurrentIndex(0);
}

void FrmSearch::buildControls() {
    lblField = new QLabel("&Sort Field", this);
    lblField->setObjectName("lblField");
    lblField->setGeometry(twipsRect(180, 210, 2000, 255));
    CmbField = new QComboBox(this);
    CmbField->setObjectName("CmbField");
    CmbField->setGeometry(twipsRect(150, 480, 2055, 315));
    lblField->setBuddy(CmbField);

    lblSearch_To = new QLabel("&Text to Search", this);
    lblSearch_To->setObjectName("lblSearch_To");
    lblSearch_To->setGeometry(twipsRect(2340, 180, 2000, 255));
    txtSearchString =
        textBox(this, "txtSearchString", twipsRect(2340, 480, 3900, 315), "Text to search");
    lblSearch_To->setBuddy(txtSearchString);
    lblFrom = new QLabel("&From", this);
    lblFrom->setObjectName("lblFrom");
    lblFrom->setGeometry(twipsRect(2340, 180, 1700, 255));
    txtFrom = textBox(this, "txtFrom", twipsRect(2340, 480, 1725, 315), "From");
    txtTo = textBox(this, "txtTo", twipsRect(4500, 480, 1725, 315), "To");
    lblFrom->setBuddy(txtFrom);
    txtContains = new QLineEdit(this);
    txtContains->setObjectName("txtContains");
    txtContains->setGeometry(twipsRect(150, 480, 6090, 315));
    txtContains->setAccessibleName("Words to find");
    txtContains->setToolTip(
        "Words to find in any field; \"several words\" as one; "
        "artist:, title:, category: or format: before a word for that field.");
    for (QWidget* hidden : {static_cast<QWidget*>(lblFrom), static_cast<QWidget*>(txtFrom),
                            static_cast<QWidget*>(txtTo), static_cast<QWidget*>(txtContains)}) {
        hidden->hide();
    }

    Frame1 = new QGroupBox("Search Type", this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(twipsRect(150, 1770, 3765, 885 + ContainsRowTwips));
    optSetCriteria = new QRadioButton("Set a &Criteria", Frame1);
    optSetCriteria->setObjectName("optSetCriteria");
    optSetCriteria->setGeometry(twipsRect(150, 300, 1700, 315));
    optGotoRecord = new QRadioButton("&Go to a Record", Frame1);
    optGotoRecord->setObjectName("optGotoRecord");
    optGotoRecord->setGeometry(twipsRect(1900, 300, 1800, 315));
    optGotoRecord->setChecked(true);
    optContains = new QRadioButton("C&ontains", Frame1);
    optContains->setObjectName("optContains");
    optContains->setGeometry(twipsRect(150, 300 + ContainsRowTwips, 1700, 315));

    CmdSearch = new QPushButton("S&earch", this);
    CmdSearch->setObjectName("CmdSearch");
    CmdSearch->setGeometry(twipsRect(3990, 2100, 1215, 375));
    CmdSearch->setDefault(true);
    CmdAbort = new QPushButton("&Return", this);
    CmdAbort->setObjectName("CmdAbort");
    CmdAbort->setGeometry(twipsRect(5310, 2100, 1215, 375));

    setTabOrder(CmbField, txtSearchString);
    setTabOrder(txtSearchString, txtFrom);
    setTabOrder(txtFrom, txtTo);
    setTabOrder(txtTo, txtContains);
    setTabOrder(txtContains, optSetCriteria);
    setTabOrder(optSetCriteria, optGotoRecord);
    setTabOrder(optGotoRecord, optContains);
    setTabOrder(optContains, CmdSearch);
    setTabOrder(CmdSearch, CmdAbort);

    // The mode follows the button checked, however it was checked: a click, the arrow keys or
    // a screen reader's Toggle, which checks it without a click. A click on the button
    // already checked checks nothing, yet sets its mode again (the focus goes to the texts).
    for (QRadioButton* option : {optGotoRecord, optSetCriteria}) {
        const bool gotoRecord = option == optGotoRecord;
        connect(option, &QRadioButton::pressed, this, [this] { modeSetByCheck_ = false; });
        connect(option, &QRadioButton::toggled, this, [this, gotoRecord](bool checked) {
            if (checked) {
                SetSearchType(gotoRecord);
                modeSetByCheck_ = true;
            }
        });
        connect(option, &QRadioButton::clicked, this, [this, gotoRecord] {
            if (!std::exchange(modeSetByCheck_, false)) {
                SetSearchType(gotoRecord);
            }
        });
    }
    connect(optContains, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            SetContainsType();
        }
    });
    connect(CmdSearch, &QPushButton::clicked, this, [this] { CmdSearch_Click(); });
    connect(CmdAbort, &QPushButton::clicked, this, [this] { CmdAbort_Click(); });
    // Each text box selects its whole text when it gets the focus: typing replaces it.
    for (QLineEdit* box : {txtSearchString, txtFrom, txtTo, txtContains}) {
        box->installEventFilter(this);
    }
    addHelpKey(*this, state_, helptopic::Search);
}

bool FrmSearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* box = static_cast<QLineEdit*>(watched);
        // After the box's own focus handling, which would place the caret.
        QMetaObject::invokeMethod(
            box, [box] { app::SelectAllText(box); }, Qt::QueuedConnection);
    }
    return false;
}

void FrmSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (optContains->isChecked()) {
        txtContains->setFocus();
    } else {
        CmbField->setFocus();
    }
}

void FrmSearch::SetSearchType(bool gotoRecord) {
    txtContains->hide();
    lblField->show();
    if (gotoRecord) {
        optSetCriteria->setChecked(false);
        CmbField->show();
        txtSearchString->show();
        lblFrom->hide();
        txtFrom->hide();
        txtTo->hide();
        setWindowTitle("Movie Search - Goto a Record");
        CmbField->setFocus();
        lblField->setText("&Sort Field");
        lblSearch_To->setText("&Text To Search");
        lblSearch_To->move(txtSearchString->x(), lblSearch_To->y());
        lblSearch_To->setBuddy(txtSearchString);
        txtSearchString->setFocus();
    } else {
        optGotoRecord->setChecked(false);
        CmbField->show();
        txtSearchString->hide();
        txtFrom->show();
        txtTo->show();
        setWindowTitle("Movie Search - Set a Criteria");
        lblField->setText("&Sort Field");
        lblFrom->show();
        lblSearch_To->setText("&To");
        lblSearch_To->move(txtTo->x(), lblSearch_To->y());
        lblSearch_To->setBuddy(txtTo);
        txtFrom->setFocus();
    }
}

// One box for the words, across the window: no field to choose, the words say where.
void FrmSearch::SetContainsType() {
    for (QWidget* hidden : {static_cast<QWidget*>(lblField), static_cast<QWidget*>(CmbField),
                            static_cast<QWidget*>(txtSearchString), static_cast<QWidget*>(lblFrom),
                            static_cast<QWidget*>(txtFrom), static_cast<QWidget*>(txtTo)}) {
        hidden->hide();
    }
    txtContains->show();
    setWindowTitle("Movie Search - Contains");
    lblSearch_To->setText("&Words to Find");
    lblSearch_To->move(txtContains->x(), lblSearch_To->y());
    lblSearch_To->setBuddy(txtContains);
    txtContains->setFocus();
}

void FrmSearch::GetFieldName() {
    const QString item = CmbField->currentText();
    const std::pair<const char*, const char*> tags[] = {
        {"ARTIST", "Artist"}, {"TITLE", "TITLE"}, {"CATEGORY", "Category"}, {"FORMAT", "Format"}};
    for (auto [shown, column] : tags) {
        if (item == QLatin1String(shown)) {
            CmbField->setProperty("tag", QString(column));
        }
    }
}

QString FrmSearch::fieldTag() const {
    return CmbField->property("tag").toString();
}

void FrmSearch::reject() {
    CmdAbort_Click();
}

void FrmSearch::CmdAbort_Click() {
    main_.showModeCommands();
    main_.say("Search Cancelled");
    hide();
}

}  // namespace windows
