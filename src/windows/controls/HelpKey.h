#pragma once

class QWidget;

namespace app {
struct AppState;
}

namespace windows {

// The parts of the help that F1 opens in each window: the help's anchors are "topic" and
// the number.
namespace helptopic {
inline constexpr int MainWindow = 10;
inline constexpr int ReportTitle = 210;
inline constexpr int Search = 320;
inline constexpr int Browse = 400;
inline constexpr int Counts = 410;
inline constexpr int Lists = 420;
inline constexpr int Preview = 430;
inline constexpr int Import = 440;
}  // namespace helptopic

// F1 anywhere in `window` opens the help at `topic`.
void addHelpKey(QWidget& window, app::AppState& state, int topic);

}  // namespace windows
