// Long runs of the main window (delete-all, repair, import, export, the browse fill, report
// output): the window takes no input but Esc, every other window of the program is held,
// and the progress bar shows how far the run is.
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/AppState.h"
#include "app/WordsCatchUp.h"
#include "app/WorkBeside.h"
#include "sqlite/DbError.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/OtherWindowsHeld.h"
#include "windows/main/FrmMain.h"
#include "windows/main/FrmMainRuns.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

constexpr int IdleCheckMs = 50;
constexpr int HeldRetryMs = 25;       // a file another program holds is tried again so often
constexpr int HeldSaidAfterMs = 300;  // ... and said once it has been held for so long

}  // namespace

// A run inside a run (the compaction a delete-all ends with) leaves the holding to the outer.
FrmMain::HeldForRun::HeldForRun(FrmMain& window) : window_(window), outer_(window.heldForRun_) {
    window_.heldForRun_ = this;
    window_.state_.Modes.beginRun();
    if (outer_) {
        return;
    }
    focus_ = window_.focusWidget();
    window_.centralWidget()->setEnabled(false);
    window_.menuBar()->setEnabled(false);
    others_ = std::make_unique<OtherWindowsHeld>(&window_);
    window_.setFocus();  // the window itself takes the keys meanwhile: Esc
}

FrmMain::HeldForRun::~HeldForRun() {
    window_.heldForRun_ = outer_;
    window_.state_.Modes.endRun();
    if (outer_) {
        return;
    }
    others_.reset();
    window_.centralWidget()->setEnabled(true);
    window_.menuBar()->setEnabled(true);
    if (focus_ && focus_->isEnabled()) {
        focus_->setFocus();
    }
    if (window_.closeAfterRun_) {
        window_.closeAfterRun_ = false;
        window_.closeOnceIdle();
    }
}

// Closes the window once the command that ran has ended: not while a message it shows (the
// run's outcome) is still open, nor inside another run.
void FrmMain::closeOnceIdle() {
    QTimer::singleShot(IdleCheckMs, this, [this] {
        if (heldForRun_ || QApplication::activeModalWidget()) {
            closeOnceIdle();
            return;
        }
        close();
    });
}

bool FrmMain::HeldForRun::holds(const QWidget* window) const {
    return outer_ ? outer_->holds(window) : others_ && others_->holds(window);
}

// The progress bar covers the status bar while it is shown: it carries the caption itself.
void FrmMain::showCaptionedProgress(const QString& caption) {
    ProgressBar1->setMaximum(100);
    ProgressBar1->setFormat(caption);
    ProgressBar1->setTextVisible(true);
    setProgress(0);
    ProgressBar1->show();
}

void FrmMain::hideCaptionedProgress() {
    ProgressBar1->hide();
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFormat("%p%");
}

FrmMain::StoppableRun::StoppableRun(FrmMain& window, const QString& caption) : window_(window) {
    held_.emplace(window);
    window_.state_.TransferRunning = true;
    window_.state_.TransferCancel = false;
    window_.closeAfterTransfer_ = false;
    window_.SetBusyPointer(true);
    window_.showCaptionedProgress(caption + " %p%   (Esc stops)");
}

FrmMain::StoppableRun::~StoppableRun() {
    held_.reset();
    window_.hideCaptionedProgress();
    window_.SetBusyPointer(false);
    window_.state_.TransferRunning = false;
    window_.CmdAdd->setFocus();
}

void FrmMain::StoppableRun::showProgress(int percent) {
    if (percent != window_.ProgressBar1->value()) {
        window_.setProgress(percent);
    }
}

void FrmMain::StoppableRun::letEventsRun() {
    window_.desktop_.processEvents();
}

bool FrmMain::StoppableRun::stopAsked() const {
    return window_.state_.TransferCancel;
}

bool FrmMain::StoppableRun::userStops() {
    window_.state_.TransferCancel = false;
    const bool stop =
        window_.desktop_.messageBox("Stop the import? Nothing will be imported.", Buttons::YesNo,
                                    Icon::Question, "Import Records") == Answer::Yes;
    window_.closeAfterTransfer_ = window_.closeAfterTransfer_ && stop;
    return stop;
}

// Esc after the work has passed the point where it could stop: nothing to ask.
void FrmMain::StoppableRun::clearStop() {
    window_.state_.TransferCancel = false;
    window_.closeAfterTransfer_ = false;
}

void FrmMain::catchUpWords() {
    if (!wordsCatchUp_) {
        wordsCatchUp_ = std::make_unique<app::WordsCatchUp>(state_.cnMain, [this] {
            return state_.Modes.mode() != app::Mode::Running && !state_.TransferRunning &&
                   !QApplication::activeModalWidget() &&
                   !(frmBrowse_ && frmBrowse_->findingWords());
        });
    }
    wordsCatchUp_->start();
}

// Each try fails at once while the file is held (the engine's own wait would keep Esc unheard);
// a hold of a moment, another program's commit, goes unsaid.
bool FrmMain::runBesideWindows(const std::function<void()>& work, const QString& whenFree) {
    const HeldForRun held(*this);
    EscapePressed = false;
    std::atomic<bool> giveUp{false};
    std::atomic<int> heldTries{0};
    // Inside another run (a repair reading the view again), its bar says it for a while.
    const bool barShown = ProgressBar1->isVisible();
    const QString barSaid = ProgressBar1->format();
    bool said = false;
    const bool done = app::runBesideEvents(
        desktop_,
        [&] {
            for (int tries = 1;; ++tries) {
                try {
                    const db::NoWaiting quick(state_.cnMain, true);
                    work();
                    return true;
                } catch (const db::DbError& error) {
                    if (!error.busy) {
                        throw;
                    }
                }
                heldTries.store(tries);
                for (int rest = 0; rest < HeldRetryMs / 5; ++rest) {
                    if (giveUp) {
                        return false;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            }
        },
        [&] {
            if (!said && heldTries.load() * HeldRetryMs >= HeldSaidAfterMs) {
                said = true;
                const QString caption = "Another program holds the catalogue file; " + whenFree +
                                        " as soon as it lets go.   (Esc stops)";
                barShown ? ProgressBar1->setFormat(caption) : showCaptionedProgress(caption);
            }
            giveUp = giveUp || EscapePressed;
        });
    if (said) {
        barShown ? ProgressBar1->setFormat(barSaid) : hideCaptionedProgress();
    }
    return done;
}

// A work of unknown length: the busy pointer at once, and after a moment the bar with its
// caption (a bar moving to and fro would hide it).
void FrmMain::runSaying(const QString& caption, const std::function<void()>& work) {
    const HeldForRun held(*this);
    SetBusyPointer(true);
    const std::uint32_t start = desktop_.tickCount();
    bool said = false;
    try {
        app::runBesideEvents(desktop_, work, [&] {
            if (!said && desktop_.tickCount() - start >= HeldSaidAfterMs) {
                said = true;
                showCaptionedProgress(caption);  // no end known: the caption alone, no share
            }
        });
    } catch (...) {
        if (said) {
            hideCaptionedProgress();
        }
        SetBusyPointer(false);
        throw;
    }
    if (said) {
        hideCaptionedProgress();
    }
    SetBusyPointer(false);
}

}  // namespace windows
