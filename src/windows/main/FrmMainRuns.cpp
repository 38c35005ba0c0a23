// Long runs of the main window that several commands share: a read that waits out another
// program's hold on the file, a write of unknown length, and the word index catching up.
#include <QApplication>
#include <chrono>
#include <thread>

#include "app/AppState.h"
#include "app/runs/Runner.h"
#include "app/runs/WordsCatchUp.h"
#include "sqlite/DbError.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/main/FrmMain.h"

namespace windows {
namespace {

constexpr int HeldRetryMs = 25;       // a file another program holds is tried again so often
constexpr int HeldSaidAfterMs = 300;  // ... and said once it has been held for so long

}  // namespace

void FrmMain::catchUpWords() {
    if (!wordsCatchUp_) {
        wordsCatchUp_ = std::make_unique<app::WordsCatchUp>(state_.session.cnMain, [this] {
            return state_.Modes.mode() != app::Mode::Running &&
                   !QApplication::activeModalWidget() &&
                   !(frmBrowse_ && frmBrowse_->findingWords());
        });
    }
    wordsCatchUp_->start();
}

// Each try fails at once while the file is held (the engine's own wait would keep Esc unheard);
// a hold of a moment, another program's commit, goes unsaid. Inside another run (a repair
// reading the view again), its bar says it for a while.
bool FrmMain::runBesideWindows(const std::function<void()>& work, const QString& whenFree) {
    const QString caption = "Another program holds the catalogue file; " + whenFree +
                            " as soon as it lets go.   (Esc stops)";
    return runner_->run(app::RunPlan::stoppedByEsc({}), [&](app::RunProgress& progress) {
        for (int tries = 1;; ++tries) {
            try {
                const db::NoWaiting quick(state_.session.cnMain, true);
                work();
                return true;
            } catch (const db::DbError& error) {
                if (!error.busy) {
                    throw;
                }
            }
            if (tries * HeldRetryMs == HeldSaidAfterMs) {
                progress.say(caption);
            }
            for (int rest = 0; rest < HeldRetryMs / 5; ++rest) {
                if (progress.stopping()) {
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    });
}

// A work of unknown length: the busy pointer at once, and after a moment the bar with its
// caption (a bar moving to and fro would hide it).
void FrmMain::runSaying(const QString& caption, const std::function<void()>& work) {
    runner_->run(app::RunPlan::unknownShare(caption), [&](app::RunProgress&) { work(); });
}

}  // namespace windows
