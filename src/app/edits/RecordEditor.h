#pragma once

#include "app/edits/CatalogueEdits.h"

namespace app {

// The record the main window shows, against what the user typed over it: whether an edit is
// pending, whether the record could be read at all, and its saving and adding through
// CatalogueEdits. The window hands over the texts its fields hold; this knows no widget.
class RecordEditor {
  public:
    using Texts = CatalogueEdits::Texts;
    explicit RecordEditor(CatalogueEdits& edits) : edits_(edits) {}

    // A record shown, as the fields now hold it: nothing typed over it yet.
    void shown(const Texts& texts) {
        shown_ = texts;
        changed_ = false;
        unread_ = false;
    }
    // The record could not be read: the fields are empty and nothing on them may be saved.
    void shownUnread() {
        shown_ = {};
        changed_ = false;
        unread_ = true;
    }
    bool unread() const { return unread_; }

    // The user changed a field (`typed`), or the edit was dropped or kept after a failed save.
    void setChanged(bool typed) { changed_ = typed && !unread_; }
    // Something was typed since the record was shown.
    bool changed() const { return changed_; }
    // An edit that still differs from the record shown: typing taken back leaves none.
    bool pending(const Texts& typed) const { return changed_ && typed != shown_; }
    const Texts& shownTexts() const { return shown_; }

    // The fields the user changed written over the current record of `records`, each as it is
    // kept; the others keep their stored bytes (a Null stays Null). The texts the record now
    // holds, which are then the ones shown. Throws what the write throws: the edit stays.
    Texts save(db::Recordset& records, const Texts& typed);
    // The texts added as a new record through `records`, which then holds it and shows it.
    void add(db::Recordset& records, const Texts& typed);

  private:
    CatalogueEdits& edits_;
    Texts shown_;
    bool changed_ = false;
    bool unread_ = false;
};

}  // namespace app
