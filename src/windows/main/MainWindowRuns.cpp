#include "windows/main/MainWindowRuns.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>

#include "windows/controls/OtherWindowsHeld.h"

namespace windows {
namespace {

constexpr int IdleCheckMs = 50;

// Closes the window once the command that ran has ended: not while a message it shows (the
// run's outcome) is still open.
void closeOnceIdle(QMainWindow& window) {
    QTimer::singleShot(IdleCheckMs, &window, [&window] {
        if (QApplication::activeModalWidget()) {
            closeOnceIdle(window);
            return;
        }
        window.close();
    });
}

}  // namespace

MainWindowRuns::MainWindowRuns(QMainWindow& window, QProgressBar& bar, platform::Desktop& desktop)
    : window_(window), bar_(bar), desktop_(desktop) {}

MainWindowRuns::~MainWindowRuns() = default;

bool MainWindowRuns::holds(const QWidget* window) const {
    return others_ && others_->holds(window);
}

void MainWindowRuns::hold() {
    focus_ = window_.focusWidget();
    window_.centralWidget()->setEnabled(false);
    window_.menuBar()->setEnabled(false);
    others_ = std::make_unique<OtherWindowsHeld>(&window_);
    window_.setFocus();  // the window itself takes the keys meanwhile: Esc
}

void MainWindowRuns::release() {
    others_.reset();
    window_.centralWidget()->setEnabled(true);
    window_.menuBar()->setEnabled(true);
    if (focus_ && focus_->isEnabled()) {
        focus_->setFocus();
    }
}

// A bar shown already (an outer run's) keeps its share under the new caption.
void MainWindowRuns::showBar(const QString& caption) {
    if (!bar_.isVisible()) {
        bar_.setMaximum(100);
        showShare(0);
    }
    bar_.setFormat(caption);
    bar_.setTextVisible(true);
    bar_.show();
}

void MainWindowRuns::showShare(int percent) {
    bar_.setValue(percent);
    bar_.repaint();  // a step on the windows' thread lets no events run before the next
}

QString MainWindowRuns::barCaption() const {
    return bar_.isVisible() ? bar_.format() : QString();
}

void MainWindowRuns::hideBar() {
    bar_.hide();
    bar_.setTextVisible(false);
    bar_.setFormat("%p%");
}

bool MainWindowRuns::userStops(const QString& question, const QString& title) {
    return desktop_.messageBox(question, platform::Buttons::YesNo, platform::Icon::Question,
                               title) == platform::Answer::Yes;
}

void MainWindowRuns::closeAfterRuns() {
    closeOnceIdle(window_);
}

}  // namespace windows
