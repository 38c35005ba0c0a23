// File > Import Music Folder: a folder's tracks read into albums, previewed and imported as a
// file's records are.
#include <QDir>
#include <QStandardPaths>
#include <algorithm>

#include "app/AppState.h"
#include "app/runs/Runner.h"
#include "app/transfer/RecordImport.h"
#include "music/MusicFolder.h"
#include "sqlite/DbError.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"
#include "windows/transfer/FrmImport.h"

namespace windows {

void FrmMain::mnuFileImportMusic_Click() {
    if (state_.Modes.searching() || state_.Modes.adding() || refusedAsReadOnly() ||
        !offerToSaveEdit()) {
        return;
    }
    // The folder chosen last, or the user's music folder, or home.
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString offered = !lastMusicFolder_.isEmpty() ? lastMusicFolder_
                            : QDir(music).exists()      ? music
                                                        : QDir::homePath();
    const QString folder = desktop_.chooseFolder(this, "Import Music Folder", offered);
    if (folder.isEmpty()) {
        return;
    }
    lastMusicFolder_ = folder;
    importMusicFolder(folder);
}

// The folder is read beside the windows, which stay painted with the progress moving and hear
// Esc; a stop chosen after the last file was read is heard as well.
void FrmMain::importMusicFolder(const QString& folder) {
    std::optional<music::FolderScan> scan;
    std::vector<music::Album> albums;
    std::optional<app::RecordImport> import;
    std::optional<app::RecordImport::Preview> preview;
    try {
        app::Runner::Run reading(*runner_, importPlan("Reading " + QDir(folder).dirName() + "..."));
        reading.beside([&](app::RunProgress& running) {
            const auto progress = running.reporter();
            // The files' reading takes the bar to 90%; the catalogue's look the rest.
            scan = music::scanMusicFolder(folder, [&](std::int64_t done, std::int64_t total) {
                return progress(total > 0 ? static_cast<int>(done * 90 / total) : 0);
            });
            if (!scan) {
                return;
            }
            albums = music::albumsOf(scan->tracks);
            std::vector<app::RecordImport::Texts> records;
            records.reserve(albums.size());
            for (const music::Album& album : albums) {
                records.push_back(album.texts);
            }
            import.emplace(app::RecordImport::fromRecords(std::move(records)));
            preview = import->preview(state_.session.cnMain, [&](int percent) {
                return progress(90 + std::min(percent, 99) / 10);
            });
        });
        if (preview && reading.stopped()) {
            preview.reset();
        }
    } catch (const db::DbError& error) {
        sayCatalogueUnread(error);
        return;
    }
    if (!import || !preview) {  // stopped while the folder was read
        app::RecordImport none = app::RecordImport::fromRecords({});
        offerImport({}, none, std::nullopt, false);
        return;
    }
    offerImport(FrmImport::aboutMusicFolder(folder, *scan, albums), *import, preview, false,
                FrmImport::unreadInMusicFolder(*scan));
}

}  // namespace windows
