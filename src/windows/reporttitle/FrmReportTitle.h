#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {
struct AppState;
}

namespace windows {

// The title printed on both reports: one line kept in table ReportTitle. Made for each
// opening and gone when it ends; nothing is saved without Update.
class FrmReportTitle : public QDialog {
    Q_OBJECT
  public:
    FrmReportTitle(app::AppState& state, QLabel* mainStatus, QWidget* owner);
    ~FrmReportTitle() override;

    QLabel* Label1;
    QLineEdit* txtReportTitle;
    QPushButton* CmdReturn;
    QPushButton* CmdUpdate;
    QLabel* lblMsgBar1;

    void CmdUpdate_Click();
    void CmdReturn_Click();

  private:
    void Form_Load();

    app::AppState& state_;
    QLabel* mainStatus_;
};

}  // namespace windows
