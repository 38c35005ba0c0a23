#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;

namespace app {
struct AppState;
}
namespace platform {
class Alarm;
}

namespace windows {

// The About window: title, version and maker over a gradient, two links, a tune while it is
// open. Modeless and above other windows; it closes on OK, Enter, Esc, losing the focus, or
// 30 seconds after it was last activated.
class FrmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit FrmAbout(app::AppState& state);
    ~FrmAbout() override;

    static const QString EmailAddress;
    static const QString WebAddress;  // with its scheme; shown without it
    static constexpr int WaitMilliseconds = 30'000;

    void Form_Load();
    void Form_Activate();
    void Form_KeyPress(int keyAscii);
    void Form_LostFocus();
    void Form_Unload();
    void cmdOK_Click();
    void lblEmail_MouseDown();
    void lblEmail_MouseUp();
    void lblMyWebSite_MouseDown();
    void lblMyWebSite_MouseUp();

    QPushButton* cmdOK;
    QLabel* Image1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblOwner;
    QLabel* lblEmail;
    QLabel* lblMyWebSite;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool handleKey(QKeyEvent* key);
    bool handleLinkMouse(QObject* link, QEvent* event);

    app::AppState& state_;
    std::unique_ptr<platform::Alarm> wait_;
    bool unloaded_ = false;
};

}  // namespace windows
