#include "app/edits/RecordEditor.h"

#include "app/text/Characters.h"

namespace app {

RecordEditor::Texts RecordEditor::save(db::Recordset& records, const Texts& typed) {
    CatalogueEdits::Changes changes;
    Texts kept = typed;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != shown_[i]) {
            changes[i] = typed[i];
            kept[i] = keptText(typed[i], CatalogueEdits::RecordWidths[i]);
        }
    }
    edits_.updateRecord(records, changes);
    shown(kept);
    return kept;
}

void RecordEditor::add(db::Recordset& records, const Texts& typed) {
    edits_.addRecord(records, typed);
    shown(typed);
}

}  // namespace app
