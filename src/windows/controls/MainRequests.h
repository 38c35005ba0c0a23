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

    // For the search window, which finds the records itself:
    // A read of the catalogue beside the windows, waiting out another program's hold (false:
    // the user gave up).
    virtual bool runBesideWindows(const std::function<void()>& work, const QString& whenFree) = 0;
    virtual void say(const QString& status) = 0;  // on the status line
    // The record the main recordset stands on shown (the one found, or the one before).
    virtual void showCurrentRecord() = 0;
    // A record jumped to: shown, Bookmark leading back when the option is on.
    virtual void showRecordJumpedTo() = 0;
    // Search mode over the results opened: the count in the tally's place, the view named
    // (when given) as the order shown, no Bookmark (the results have none to go back to).
    virtual void enterSearchMode(const QString& count, const QString& view) = 0;
    // The commands as the mode allows them, after the search window changed nothing.
    virtual void showModeCommands() = 0;
};

}  // namespace windows
