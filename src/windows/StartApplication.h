#pragma once

#include <memory>

namespace app {
struct AppState;
}

namespace windows {

class FrmMain;

// The program's start: the splash window for two seconds, then the main window. Returns
// the main window (null when the start failed and the program has been ended).
std::unique_ptr<FrmMain> StartApplication(app::AppState& state);

}  // namespace windows
