#include "windows/reporttitle/FrmReportTitle.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "catalogue/Catalogue.h"
#include "windows/controls/CharacterLimit.h"
#include "windows/controls/HelpKey.h"

namespace windows {
namespace {

using app::twipsRect;

constexpr int TitleCharacters = 50;

}  // namespace

FrmReportTitle::FrmReportTitle(app::AppState& state, QLabel* mainStatus, QWidget* owner)
    : QDialog(owner), state_(state), mainStatus_(mainStatus) {
    setObjectName("FrmReportTitle");
    // Blocks its owner and the owner's windows, not the help viewer, a window of its own.
    setWindowModality(Qt::WindowModal);
    setWindowTitle("Report Title");
    setFont(app::windowFont());
    setFixedSize(app::twipsSize(5535, 1980));
    Label1 = new QLabel("Report Title:", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(twipsRect(180, 180, 2000, 255));
    txtReportTitle = new QLineEdit(this);
    txtReportTitle->setObjectName("txtReportTitle");
    txtReportTitle->setGeometry(twipsRect(180, 480, 5160, 315));
    txtReportTitle->setValidator(new CharacterLimit(TitleCharacters, txtReportTitle));
    txtReportTitle->setAccessibleName("Report title");
    Label1->setBuddy(txtReportTitle);
    CmdReturn = new QPushButton("&Return", this);
    CmdReturn->setObjectName("CmdReturn");
    CmdReturn->setGeometry(twipsRect(4020, 1080, 1215, 375));
    CmdUpdate = new QPushButton("&Update", this);
    CmdUpdate->setObjectName("CmdUpdate");
    CmdUpdate->setGeometry(twipsRect(2640, 1080, 1215, 375));
    CmdUpdate->setDefault(true);
    lblMsgBar1 = new QLabel(this);
    lblMsgBar1->setObjectName("lblMsgBar1");
    lblMsgBar1->setGeometry(twipsRect(0, 1680, 5535, 285));
    lblMsgBar1->setFrameShape(QFrame::Panel);
    lblMsgBar1->setFrameShadow(QFrame::Sunken);
    lblMsgBar1->setAccessibleDescription("Status");
    setTabOrder(txtReportTitle, CmdUpdate);
    setTabOrder(CmdUpdate, CmdReturn);

    connect(txtReportTitle, &QLineEdit::textChanged, lblMsgBar1, &QLabel::clear);
    connect(CmdUpdate, &QPushButton::clicked, this, [this] { CmdUpdate_Click(); });
    connect(CmdReturn, &QPushButton::clicked, this, [this] { CmdReturn_Click(); });
    addHelpKey(*this, state_, helptopic::ReportTitle);
    Form_Load();
}

FrmReportTitle::~FrmReportTitle() {
    state_.session.rsReportTitle.close();  // Form_Unload: nothing is saved here
}

// Shows the stored title (a Null or no row at all shows as empty), selected so that
// typing replaces it.
void FrmReportTitle::Form_Load() {
    auto& rs = state_.session.rsReportTitle;
    try {
        rs.open(state_.session.cnMain, db::catalogue::reportTitleTable());
        if (!rs.eof()) {
            txtReportTitle->setText(QString::fromStdString(rs.field("Title").text().value_or("")));
        }
    } catch (const db::DbError& error) {
        state_.desktop.messageBox(app::procedureMessage(error, "Form_Load", "FrmReportTitle"),
                                  platform::Buttons::Ok, platform::Icon::Exclamation);
    }
    mainStatus_->clear();
    app::SelectAllText(txtReportTitle);
}

void FrmReportTitle::CmdUpdate_Click() {
    auto& rs = state_.session.rsReportTitle;
    try {
        if (rs.eof()) {
            lblMsgBar1->setText("Record Add");
        }
        state_.session.edits.setReportTitle(rs, txtReportTitle->text());
    } catch (const db::DbError& error) {
        state_.desktop.messageBox(QStringLiteral("Error: %1 - %2")
                                      .arg(error.number)
                                      .arg(QString::fromStdString(error.description)),
                                  platform::Buttons::Ok, platform::Icon::Critical);
        return;
    }
    lblMsgBar1->setText("Record Updated");
    CmdReturn->setFocus();
}

void FrmReportTitle::CmdReturn_Click() {
    reject();
}

}  // namespace windows
