#pragma once

#include <string>

namespace db::maintenance {

// Removes what a repair or a delete-all killed half-way leaves in `folder`: a rebuilt copy
// (ZemboREBUILT.mdb, as repairNames names it) and the engine's journals beside it, when the
// catalogue it was made from (Zembo.mdb) is there and neither file is held by a running
// program (a repair holds the catalogue from its start to the last rename). A file that is not
// empty and not a database is no leftover of ours and stays. Anything that cannot be removed
// stays, for the next repair.
//
// Meant for the start, before the program opens a catalogue: a look at a file's locks opens
// and closes it, which would let go of this program's own locks on it.
void removeRebuiltLeftovers(const std::string& folder);

}  // namespace db::maintenance
