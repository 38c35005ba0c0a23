#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "app/transfer/RecordImport.h"
#include "music/MusicFolder.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace windows {

class ImportColumns;

// Shows what an import would add, before anything is written: the counts and the first
// records as they would be stored, and, when some are in the catalogue already, whether to
// leave those out (the default) or add them again. Import accepts, Cancel or Esc rejects.
class FrmImport : public QDialog {
    Q_OBJECT
  public:
    // `about`: the lines that say what is imported (the file and how it is read). With
    // `readAgain` (it makes a change to how the file is read, then reads the whole file again
    // with its progress; nothing when the change was refused, and said so), the file's
    // encoding can be chosen, and but for a Discogs export its columns for the catalogue's.
    using ReadAgain = std::function<std::optional<app::RecordImport::Preview>(
        const std::function<void()>& change)>;
    // `details`: lines a Details button shows whole (every file not read, and why).
    FrmImport(QWidget* owner, const QStringList& about, app::RecordImport& import,
              const app::RecordImport::Preview& preview, ReadAgain readAgain = {},
              const QStringList& details = {});
    // What a CSV file is, as those lines say it.
    static QStringList aboutFile(const QString& fileName, const app::RecordImport& import);
    // What a music folder held, as those lines say it.
    static QStringList aboutMusicFolder(const QString& folder, const music::FolderScan& scan,
                                        const std::vector<music::Album>& albums);
    // Each music file not read, and why: the details of what those lines can only begin.
    static QStringList unreadInMusicFolder(const music::FolderScan& scan);

    app::RecordImport::Existing existing() const;

    QLabel* lblCounts;
    QComboBox* cmbEncoding;        // a file's encoding, nothing for a music folder
    ImportColumns* fraColumns;     // a file's columns, when they can be chosen
    QRadioButton* optAddEveryRow;  // shown only when some records are there already
    QRadioButton* optLeaveOutExisting;
    QTableWidget* grdPreview;
    QPushButton* CmdImport;
    QPushButton* CmdCancel;
    QPushButton* CmdDetails;  // when there are details

  private:
    void showPreview(const app::RecordImport::Preview& preview);
    void showCounts();
    void readWithColumnsChosen();
    void readWithEncodingChosen();
    void readAgain(const std::function<void()>& change);
    void showDetails();

    QStringList about_;
    app::RecordImport& import_;
    ReadAgain readAgain_;
    app::RecordImport::Preview preview_;
    QStringList details_;
};

}  // namespace windows
