#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace windows {

// The artist list editor. It exists, hidden, from the moment the artist lists are first
// filled, and its list always mirrors the main window's artist drop-down.
class FrmArtist : public QDialog {
    Q_OBJECT
  public:
    explicit FrmArtist(QWidget* owner);

    QLabel* Label1;
    QComboBox* CmbArtist;
    QPushButton* CmdAdd;
    QPushButton* CmdDelete;
    QPushButton* CmdReturn;
    QLabel* lblMsgBar1;
};

}  // namespace windows
