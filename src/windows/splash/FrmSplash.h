#pragma once

#include <QWidget>

class QLabel;

namespace app {
struct AppState;
}

namespace windows {

// The window shown while the program starts.
class FrmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit FrmSplash(app::AppState& state);

    void Form_Load();

    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCopyright;
    QLabel* lblCompany;
    QLabel* lblCompanyProduct;
    QLabel* imgLogo;

  private:
    app::AppState& state_;
};

}  // namespace windows
