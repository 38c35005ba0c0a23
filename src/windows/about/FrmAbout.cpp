#include "windows/about/FrmAbout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "app/AppState.h"
#include "app/looks/AppPicture.h"
#include "app/looks/Fonts.h"
#include "app/looks/Gradient.h"
#include "app/looks/Twips.h"
#include "app/start/Locations.h"
#include "windows/controls/WindowRole.h"

namespace windows {
namespace {

constexpr int KeyEscape = 27;
const QColor DarkBlue(0, 0, 192);
const QColor Cyan(0, 255, 255);
const QColor DarkGreen(0, 128, 0);

void setInk(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* label(QWidget* parent, const char* name, QRect geometry, const QFont& font) {
    auto* control = new QLabel(parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    control->setFont(font);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

// A link: dark blue, the pointing hand, reachable with Tab and pressed with Space.
QLabel* link(QWidget* parent, const char* name, QRect geometry, const QString& text,
             Qt::Alignment alignment) {
    QLabel* control = label(parent, name, geometry, app::windowFont());
    control->setText(text);
    control->setAlignment(alignment | Qt::AlignVCenter);
    control->setCursor(Qt::PointingHandCursor);
    control->setFocusPolicy(Qt::StrongFocus);
    control->setAccessibleName(text);
    setInk(control, DarkBlue);
    return control;
}

}  // namespace

const QString FrmAbout::EmailAddress = QStringLiteral("hello@quorvane.example");
const QString FrmAbout::WebAddress = QStringLiteral("https://quorvane.example/");

FrmAbout::FrmAbout(app::AppState& state)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint |
                           Qt::WindowStaysOnTopHint),
      state_(state) {
    using app::twipsRect;
    describeAsWindow(*this);
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("frmAbout");  // the design's caption, replaced at load
    setWindowIcon(app::applicationIcon());
    setFixedSize(app::twipsSize(4785, 4230));

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(twipsRect(240, 330, 480, 480));
    Image1->setPixmap(app::applicationPicture(32));
    Image1->setAccessibleName(platform::ApplicationTitle);

    QFont bold = app::windowFont();
    bold.setPointSize(14);
    bold.setBold(true);
    lblTitle = label(this, "lblTitle", twipsRect(930, 330, 3885, 480), bold);
    lblVersion = label(this, "lblVersion", twipsRect(930, 870, 3885, 225), app::windowFont());
    lblOwner = label(this, "lblOwner", twipsRect(930, 1050, 3885, 465), app::windowFont());

    lblMyWebSite = link(this, "lblMyWebSite", twipsRect(120, 3720, 1665, 240),
                        QUrl(WebAddress).host(), Qt::AlignLeft);
    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setGeometry(twipsRect(1905, 3720, 840, 345));
    cmdOK->setDefault(true);
    lblEmail =
        link(this, "lblEmail", twipsRect(2790, 3720, 1920, 240), EmailAddress, Qt::AlignRight);
    setTabOrder(cmdOK, lblEmail);
    setTabOrder(lblEmail, lblMyWebSite);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    for (QWidget* control :
         {static_cast<QWidget*>(this), static_cast<QWidget*>(cmdOK),
          static_cast<QWidget*>(lblEmail), static_cast<QWidget*>(lblMyWebSite)}) {
        control->installEventFilter(this);
    }
    wait_ = state_.desktop.makeAlarm([this] { close(); });
}

FrmAbout::~FrmAbout() {
    Form_Unload();  // also when the program goes while the window is open
}

void FrmAbout::Form_Load() {
    app::PaintGradient(this, 30, 190, 200, 255, 170, 90, 0);
    setWindowTitle("About " + platform::ApplicationTitle);
    lblVersion->setText("Version " + state_.VersionText);
    lblTitle->setText(platform::ApplicationTitle);
    lblOwner->setText(state_.NoticeText + " " + state_.CompanyText + "\r\n\r\n");
    lblOwner->setAccessibleName(lblOwner->text().trimmed());
    cmdOK->setFocus();
    // Kept above other windows by its window flags. The tune comes from beside the catalogue,
    // or from the program's own files.
    state_.desktop.playTune(
        app::findResource(state_.session.AppDir, state_.ResourceDirs, "VodiZav.Mid"));
}

// Each activation waits 30 seconds afresh; the window closes when the latest wait is over.
void FrmAbout::Form_Activate() {
    wait_->start(WaitMilliseconds);
}

void FrmAbout::Form_KeyPress(int keyAscii) {
    if (keyAscii == KeyEscape) {
        close();
    }
}

void FrmAbout::Form_LostFocus() {
    close();
}

void FrmAbout::Form_Unload() {
    if (std::exchange(unloaded_, true)) {
        return;
    }
    wait_->stop();
    state_.desktop.stopTune();
}

void FrmAbout::cmdOK_Click() {
    close();
}

void FrmAbout::lblEmail_MouseDown() {
    setInk(lblEmail, Cyan);
}

void FrmAbout::lblEmail_MouseUp() {
    setInk(lblEmail, DarkBlue);
    state_.desktop.openAddress("mailto:" + EmailAddress);
}

void FrmAbout::lblMyWebSite_MouseDown() {
    setInk(lblMyWebSite, Cyan);
}

void FrmAbout::lblMyWebSite_MouseUp() {
    setInk(lblMyWebSite, DarkGreen);
    state_.desktop.openAddress(WebAddress);
}

bool FrmAbout::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    } else if (event->type() == QEvent::WindowDeactivate && isVisible() && !unloaded_) {
        Form_LostFocus();
    }
    return QWidget::event(event);
}

// The window sees keys before its controls; the links hear their own mouse buttons.
bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        return handleKey(static_cast<QKeyEvent*>(event));
    }
    if (watched == lblEmail || watched == lblMyWebSite) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            auto* link = static_cast<QLabel*>(watched);  // underlined while it has the focus
            QFont font = link->font();
            font.setUnderline(event->type() == QEvent::FocusIn);
            link->setFont(font);
        }
        return handleLinkMouse(watched, event);
    }
    return false;
}

bool FrmAbout::handleKey(QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Escape:
            Form_KeyPress(KeyEscape);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            cmdOK->click();  // OK is the default button wherever the focus is
            return true;
        case Qt::Key_Space:
            if (QWidget* focus = focusWidget(); focus == lblEmail || focus == lblMyWebSite) {
                // Space on a link is a click, for the keyboard.
                focus == lblEmail ? lblEmail_MouseDown() : lblMyWebSite_MouseDown();
                focus == lblEmail ? lblEmail_MouseUp() : lblMyWebSite_MouseUp();
                return true;
            }
            return false;
        default:
            return false;
    }
}

// The release acts wherever the pointer is, as the press began on the link.
bool FrmAbout::handleLinkMouse(QObject* link, QEvent* event) {
    const bool onEmail = link == lblEmail;
    if (event->type() == QEvent::MouseButtonPress) {
        onEmail ? lblEmail_MouseDown() : lblMyWebSite_MouseDown();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        onEmail ? lblEmail_MouseUp() : lblMyWebSite_MouseUp();
        return true;
    }
    return false;
}

void FrmAbout::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// The etched separator: a grey line with a white one just below it.
void FrmAbout::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    using app::twips;
    QPainter painter(this);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(twips(390), twips(3495), twips(4500), twips(3495));
    painter.setPen(Qt::white);
    painter.drawLine(twips(405), twips(3510), twips(4500), twips(3510));
}

}  // namespace windows
