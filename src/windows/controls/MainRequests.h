#pragma once

#include <cstdint>

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
};

}  // namespace windows
