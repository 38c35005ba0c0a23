#pragma once

#include <QDialog>

#include "app/RecordImport.h"
#include "music/MusicFolder.h"

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
    // `about`: the lines that say what is imported (the file and how it is read).
    FrmImport(QWidget* owner, const QStringList& about, const app::RecordImport& import,
              const app::RecordImport::Preview& preview);
    // What a CSV file is, as those lines say it.
    static QStringList aboutFile(const QString& fileName, const app::RecordImport& import);
    // What a music folder held, as those lines say it.
    static QStringList aboutMusicFolder(const QString& folder, const music::FolderScan& scan,
                                        const std::vector<music::Album>& albums);

    app::RecordImport::Existing existing() const;

    QLabel* lblCounts;
    QRadioButton* optAddEveryRow;  // shown only when some records are there already
    QRadioButton* optLeaveOutExisting;
    QTableWidget* grdPreview;
    QPushButton* CmdImport;
    QPushButton* CmdCancel;
};

}  // namespace windows
