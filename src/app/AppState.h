#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "app/Modes.h"
#include "app/session/Session.h"
#include "app/start/Locations.h"
#include "platform/Desktop.h"

namespace app {

// The state every window shares for the whole run: the open catalogue, the flags that
// tie the windows together, and the desktop they talk to. One instance, passed to each
// window's constructor.
struct AppState {
    explicit AppState(platform::Desktop& desktop) : desktop(desktop) {}

    platform::Desktop& desktop;

    // The catalogue open, and everything read of it.
    Session session;

    // Where the program's own files are looked for after AppDir, in order: the program's
    // folder, then the installed files (app::Locations::resourceDirs).
    QStringList ResourceDirs;
    // Browsing, adding, searching or running, and which commands each leaves to the user.
    ModeMachine Modes;
    bool DisplayingRecord = false;
    std::optional<bool> AutoAddArtist;  // unset counts as off
    bool BookmarkPending = false;
    std::optional<std::int64_t> SavedBookmark;
    std::optional<std::int64_t> ReturnBookmark;
    QString VersionText;
    QString NoticeText;
    QString CompanyText;

    bool Ended = false;  // set once the program has been told to end

    bool autoAddArtistOn() const { return AutoAddArtist.value_or(false); }
};

}  // namespace app
