#pragma once

#include <QString>

namespace platform {
class Desktop;
}

// An installed program's first start for a user: their catalogue is copied from the empty
// one the program ships, and they are told once where it is.
namespace app {

struct FirstStart {
    enum Outcome { AlreadyThere, Copied, Failed } outcome;
    QString why;  // for Failed: what went wrong, naming the file
};

// Copies `templateFile` to `catalogue` (making its folder) when nothing is there yet. The
// copy is written under a temporary name beside it, flushed, then renamed into place, and
// never over a catalogue that appeared meanwhile; a failure leaves nothing behind.
FirstStart provideCatalogue(const QString& templateFile, const QString& catalogue);

// Says where a copied catalogue is, or why none could be made. False when the program cannot
// go on (it has no catalogue).
bool reportFirstStart(platform::Desktop& desktop, const FirstStart& result,
                      const QString& catalogue);

// What killed runs left in the catalogue's folder (the program's temporary files, a repair's
// or a delete-all's rebuilt copy, and the engine's journals beside them) goes at the start; a
// file another running copy is still writing stays.
void clearLeftovers(const QString& folder);

}  // namespace app
