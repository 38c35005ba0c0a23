#include "windows/lookup/FrmArtist.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "app/Fonts.h"
#include "app/Twips.h"
#include "windows/controls/DropDown.h"

namespace windows {

FrmArtist::FrmArtist(QWidget* owner) : QDialog(owner) {
    using app::twipsRect;
    setObjectName("FrmArtist");
    setWindowTitle("Artist");
    setFont(app::windowFont());
    setFixedSize(app::twipsSize(3840, 3000));

    Label1 = new QLabel("&Artist", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(twipsRect(210, 120, 1245, 255));
    CmbArtist = makeDropDown(this, "CmbArtist");
    CmbArtist->setGeometry(twipsRect(180, 420, 3345, 315));
    Label1->setBuddy(CmbArtist);

    auto button = [this](const char* name, const char* caption, int left) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(name);
        control->setGeometry(twipsRect(left, 2235, 1005, 315));
        return control;
    };
    CmdAdd = button("CmdAdd", "&Add", 420);
    CmdAdd->setProperty("tag", "AddMode");
    CmdDelete = button("CmdDelete", "&Delete", 1440);
    CmdReturn = button("CmdReturn", "&Return", 2460);

    lblMsgBar1 = new QLabel(this);
    lblMsgBar1->setObjectName("lblMsgBar1");
    lblMsgBar1->setGeometry(twipsRect(0, 2730, 3825, 255));
    lblMsgBar1->setFrameShape(QFrame::Panel);
    lblMsgBar1->setFrameShadow(QFrame::Sunken);

    setTabOrder(CmbArtist, CmdAdd);
    setTabOrder(CmdAdd, CmdDelete);
    setTabOrder(CmdDelete, CmdReturn);
}

}  // namespace windows
