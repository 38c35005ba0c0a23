#pragma once

#include "catalogue/Catalogue.h"

namespace windows {

// What sets the three lookup-list editors apart: their names, texts, widths and the few
// ways they behave differently. Everything else they share in LookupEditor.
struct LookupKind {
    db::catalogue::Lookup table;
    const char* formName;
    const char* caption;
    const char* dropDownName;
    const char* label;
    int storedCharacters;                 // the table keeps the first this many characters
    int addLeft, deleteLeft, buttonsTop;  // twips; the three layouts differ a little

    const char* emptyOnAdd;
    const char* duplicate;
    const char* emptyOnDelete;
    const char* notInTable;  // none: the delete is asked for without looking first
    const char* confirmDelete;
    const char* confirmTitle;
    const char* one;
    const char* many;

    bool keptHidden;         // hidden and kept between openings, or made at each opening
    bool deletesEveryMatch;  // a delete removes every row with the value, or the first
    bool focusAddAfterAdd;   // after an add the focus goes to Add, or to the drop-down

    const char* opening;  // the main window's status while the editor is open, and after
    const char* closed;
};

const LookupKind& artistKind();
const LookupKind& categoryKind();
const LookupKind& formatKind();

}  // namespace windows
