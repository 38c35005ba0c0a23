#pragma once

#include <QDialog>

#include "app/RecordImport.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace windows {

// Shows what an import would add, before anything is written: the counts and the first
// records as they would be stored. Import accepts, Cancel or Esc rejects.
class FrmImport : public QDialog {
    Q_OBJECT
  public:
    FrmImport(QWidget* owner, const QString& fileName, const app::RecordImport& import,
              const app::RecordImport::Preview& preview);

    QLabel* lblCounts;
    QTableWidget* grdPreview;
    QPushButton* CmdImport;
    QPushButton* CmdCancel;
};

}  // namespace windows
