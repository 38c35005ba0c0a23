#pragma once

// The stoppable run's work beside the windows, for the files that run imports.
#include "app/WorkBeside.h"
#include "windows/main/FrmMainRuns.h"

namespace windows {

template <typename Work>
auto FrmMain::StoppableRun::beside(Work&& work) {
    app::RunControl control;
    return app::runBesideEvents(
        window_.desktop_,
        [&] { return work([&control](int percent) { return control.report(percent); }); },
        [&] {
            letEventsRun();  // a key pressed now is answered in this same turn
            showProgress(control.percent());
            if (stopAsked()) {
                control.percent() < 100 ? control.ask([this] { return userStops(); }) : clearStop();
            }
            control.turnDone();
        });
}

}  // namespace windows
