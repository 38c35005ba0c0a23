#include "windows/splash/FrmSplash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/AppState.h"
#include "app/looks/AppPicture.h"
#include "app/looks/Fonts.h"
#include "app/looks/Gradient.h"
#include "app/looks/Twips.h"
#include "windows/controls/WindowRole.h"

namespace windows {
namespace {

QLabel* label(QWidget* parent, const char* name, QRect geometry, const QFont& font, QColor colour,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* control = new QLabel(parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    control->setFont(font);
    control->setAlignment(alignment);
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
    return control;
}

}  // namespace

FrmSplash::FrmSplash(app::AppState& state) : QWidget(nullptr, Qt::SplashScreen), state_(state) {
    using app::twipsRect;
    describeAsWindow(*this);
    setObjectName("frmSplash");
    setWindowTitle(QString());
    setFixedSize(app::twipsSize(5820, 2775));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(palette);

    const QColor ink(20, 30, 60);
    const QColor paper(255, 255, 255);
    QFont small = app::windowFont();
    QFont medium = small;
    medium.setPointSize(10);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName("imgLogo");
    imgLogo->setGeometry(twipsRect(360, 420, 480, 480));
    imgLogo->setPixmap(app::applicationPicture(32));

    lblCompanyProduct =
        label(this, "lblCompanyProduct", twipsRect(1080, 240, 4500, 285), medium, ink);
    lblProductName =
        label(this, "lblProductName", twipsRect(1080, 480, 4500, 720), app::titleFont(26), ink);
    lblVersion = label(this, "lblVersion", twipsRect(1080, 1200, 4380, 285), medium, ink,
                       Qt::AlignRight | Qt::AlignVCenter);
    lblCopyright = label(this, "lblCopyright", twipsRect(360, 1980, 5100, 285), small, paper);
    lblCompany = label(this, "lblCompany", twipsRect(360, 2280, 5100, 285), small, paper);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());
}

void FrmSplash::Form_Load() {
    lblVersion->setText("Version " + state_.VersionText);
    lblCompanyProduct->setText(state_.CompanyText);
    lblProductName->setText(QStringLiteral("Quorvane"));
    lblCopyright->setText(state_.NoticeText);
    lblCompany->setText(state_.CompanyText);
    app::PaintGradient(this, 125, 200, 255, 155, 25, 25, 0);
}

}  // namespace windows
