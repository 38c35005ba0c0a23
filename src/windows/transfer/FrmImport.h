#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "app/RecordImport.h"
#include "music/MusicFolder.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace windows {

class ImportColumns;

// Shows what an import would add, before anything is written: the counts and the first
// records as they would be stored, and, when some are in the catalogue already, whether to
// add those again (the default) or leave them out. Import accepts, Cancel or Esc rejects.
class FrmImport : public QDialog {
    Q_OBJECT
  public:
    // `about`: the lines that say what is imported (the file and how it is read). With
    // `readAgain` (it reads the whole file again, with its progress), the file's columns can be
    // chosen for each of the catalogue's.
    using ReadAgain = std::function<std::optional<app::RecordImport::Preview>()>;
    FrmImport(QWidget* owner, const QStringList& about, app::RecordImport& import,
              const app::RecordImport::Preview& preview, ReadAgain readAgain = {});
    // What a CSV file is, as those lines say it.
    static QStringList aboutFile(const QString& fileName, const app::RecordImport& import);
    // What a music folder held, as those lines say it.
    static QStringList aboutMusicFolder(const QString& folder, const music::FolderScan& scan,
                                        const std::vector<music::Album>& albums);

    app::RecordImport::Existing existing() const;

    QLabel* lblCounts;
    ImportColumns* fraColumns;     // a file's columns, when they can be chosen
    QRadioButton* optAddEveryRow;  // shown only when some records are there already
    QRadioButton* optLeaveOutExisting;
    QTableWidget* grdPreview;
    QPushButton* CmdImport;
    QPushButton* CmdCancel;

  private:
    void showPreview(const app::RecordImport::Preview& preview);
    void showCounts();
    void readWithColumnsChosen();

    QStringList about_;
    app::RecordImport& import_;
    ReadAgain readAgain_;
    app::RecordImport::Preview preview_;
};

}  // namespace windows
