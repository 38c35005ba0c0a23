#pragma once

#include <QPointer>
#include <memory>

#include "app/runs/Runner.h"

class QMainWindow;
class QProgressBar;
class QWidget;

namespace windows {

class OtherWindowsHeld;

// The main window as a run sees it: it takes no input but Esc while a run lasts (its controls
// and menus off, the focus on the window itself) and every other window of the program is
// held, so that nothing moves the records the run walks; its progress bar, which covers the
// status line, carries the run's caption. The focus goes back where it was.
class MainWindowRuns final : public app::RunWindows {
  public:
    MainWindowRuns(QMainWindow& window, QProgressBar& bar, platform::Desktop& desktop);
    ~MainWindowRuns() override;

    // Whether `window` is one a run holds.
    bool holds(const QWidget* window) const;

    void hold() override;
    void release() override;
    void showBar(const QString& caption) override;
    void showShare(int percent) override;
    QString barCaption() const override;
    void hideBar() override;
    bool userStops(const QString& question, const QString& title) override;
    void closeAfterRuns() override;

  private:
    QMainWindow& window_;
    QProgressBar& bar_;
    platform::Desktop& desktop_;
    QPointer<QWidget> focus_;
    std::unique_ptr<OtherWindowsHeld> others_;
};

}  // namespace windows
