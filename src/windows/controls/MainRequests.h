#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace windows {

// What a side window may ask of the main window, and no more: it neither reads the main
// window's widgets nor moves its recordsets itself.
class MainRequests {
  public:
    virtual ~MainRequests() = default;
    // The main window itself: a side window's owner, placed over it at first.
    virtual QWidget& mainWindow() = 0;
    // An edit of the record shown is offered for saving first: false when it stays (the
    // user kept it, or it could not be saved).
    virtual bool offerToSaveEdit() = 0;
    // The record with this row id (of the search's results in search mode) made the one
    // shown, Bookmark leading back; a record gone since is said, and the first shown.
    virtual void goToRecord(std::int64_t rowId) = 0;
    // Records another program added since the view was read: the view read again.
    virtual void readViewAgain() = 0;

    // For the search window, which moves the main window's records itself:
    virtual void SetBusyPointer(bool busy) = 0;
    virtual void DisplayRecord() = 0;          // the current record shown
    virtual void SaveViewName() = 0;           // the view to return to after the search
    virtual void ShowView(QString& view) = 0;  // named and marked as the order shown
    // A read of the catalogue beside the windows, waiting out another program's hold (false:
    // the user gave up).
    virtual bool runBesideWindows(const std::function<void()>& work, const QString& whenFree) = 0;
    virtual void say(const QString& status) = 0;       // on the status line
    virtual void showCount(const QString& count) = 0;  // in the tally's place
    // Bookmark leads back from a jump when the option is on; the results of a search have
    // none to go back to.
    virtual void offerBookmark() = 0;
    virtual void withdrawBookmark() = 0;
    virtual bool bookmarkOffered() const = 0;
    // The commands as the mode allows them, after the search window changed nothing.
    virtual void showModeCommands() = 0;
};

}  // namespace windows
