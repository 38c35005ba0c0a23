#pragma once

// The main window's long runs: the hold on every window while one lasts, and the run the user
// can stop with Esc.
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

#include "windows/main/FrmMain.h"

namespace windows {

// A long run of this window: it takes no input but Esc (its controls and menus off, the
// focus on the window itself) and every other window of the program is held, so that
// nothing moves the records the run walks. The focus goes back where it was.
class FrmMain::HeldForRun {
  public:
    explicit HeldForRun(FrmMain& window);
    ~HeldForRun();
    HeldForRun(const HeldForRun&) = delete;
    HeldForRun& operator=(const HeldForRun&) = delete;
    bool holds(const QWidget* window) const;

  private:
    FrmMain& window_;
    HeldForRun* outer_;
    QPointer<QWidget> focus_;
    std::unique_ptr<OtherWindowsHeld> others_;
};

// A long run the user can stop with Esc: held as above, with the busy pointer and the
// progress bar.
class FrmMain::StoppableRun {
  public:
    StoppableRun(FrmMain& window, const QString& caption);
    ~StoppableRun();
    // Runs `work` on a thread beside the windows, which stay painted with its progress
    // moving; `work` is handed a progress function (percent in; false once the user has
    // chosen to stop), and must touch nothing the windows use meanwhile. Once the work has
    // reported 100 it cannot be stopped: Esc is not asked. (Defined in StoppableRunBeside.h,
    // for the imports, its only users.)
    template <typename Work>
    auto beside(Work&& work);
    // Esc after the work's last report: asked now; true when the user chose to stop.
    bool stoppedAtTheEnd() { return stopAsked() && userStops(); }

  private:
    void showProgress(int percent);
    bool stopAsked() const;  // Esc was pressed
    void letEventsRun();
    bool userStops();  // after Esc: asks, and says whether the user chose to stop
    void clearStop();

    FrmMain& window_;
    std::optional<HeldForRun> held_;
};

}  // namespace windows
