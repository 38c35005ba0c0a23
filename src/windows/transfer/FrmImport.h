#pragma once

#include <QDialog>

#include "app/RecordImport.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace windows {

// Shows what an import would add, before anything is written: the counts and the first
// records as they would be stored, and, when some are in the catalogue already, whether to
// add those again (the default) or leave them out. Import accepts, Cancel or Esc rejects.
class FrmImport : public QDialog {
    Q_OBJECT
  public:
    FrmImport(QWidget* owner, const QString& fileName, const app::RecordImport& import,
              const app::RecordImport::Preview& preview);

    app::RecordImport::Existing existing() const;

    QLabel* lblCounts;
    QRadioButton* optAddEveryRow;  // shown only when some records are there already
    QRadioButton* optLeaveOutExisting;
    QTableWidget* grdPreview;
    QPushButton* CmdImport;
    QPushButton* CmdCancel;
};

}  // namespace windows
