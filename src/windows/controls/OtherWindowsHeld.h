#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace windows {

// While one window runs a long command, every other window of the program is disabled, so
// that none can move the records the run walks or change the catalogue under it (a browse
// double-click during a delete-all, say). They cannot be closed meanwhile either. The help
// viewer, which never touches the catalogue, stays usable. On destruction the windows it
// disabled are enabled again; windows opened during the run (its questions, its progress)
// are left alone.
class OtherWindowsHeld : public QObject {
  public:
    explicit OtherWindowsHeld(QWidget* running);
    ~OtherWindowsHeld() override;
    OtherWindowsHeld(const OtherWindowsHeld&) = delete;
    OtherWindowsHeld& operator=(const OtherWindowsHeld&) = delete;

    // Whether `window` is one this holds.
    bool holds(const QWidget* window) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<QPointer<QWidget>> held_;
};

}  // namespace windows
