#include "app/Modes.h"

#include <array>

namespace app {
namespace {

using Row = std::array<bool, CommandCount>;

// One row per mode, one column per command, in the order Command lists them.
// clang-format off
constexpr bool o = true, x = false;
//                     Add Del Upd Mov Src Brw Bkm Und Chg Fil Lst Rpt Vw  Cnt Opt
constexpr Row Browsing{ o,  o,  o,  o,  o,  o,  o,  o,  o,  o,  o,  o,  o,  o,  o };
// A new entry on screen: only Insert (or Esc) ends it; Ctrl+Z is the fields' own.
constexpr Row Adding{   o,  x,  x,  x,  x,  x,  x,  x,  x,  x,  x,  x,  x,  x,  x };
// The results stand for the catalogue: nothing is added or deleted, nor the catalogue
// changed as a whole, and the results keep the view they were found in.
constexpr Row Searching{x,  x,  o,  o,  o,  o,  o,  o,  x,  o,  o,  o,  x,  o,  o };
// clang-format on
constexpr Row Running{};

}  // namespace

bool commandAllowed(Mode mode, Command command) {
    const Row& row = mode == Mode::Browsing    ? Browsing
                     : mode == Mode::Adding    ? Adding
                     : mode == Mode::Searching ? Searching
                                               : Running;
    return row[static_cast<std::size_t>(command)];
}

bool ModeMachine::move(Mode from, Mode to) {
    if (mode_ != from) {
        return false;
    }
    mode_ = to;
    changed();
    return true;
}

void ModeMachine::beginRun() {
    if (++runs_ == 1) {
        changed();
    }
}

void ModeMachine::endRun() {
    if (runs_ > 0 && --runs_ == 0) {
        changed();
    }
}

void ModeMachine::changed() const {
    if (onChange_) {
        onChange_();
    }
}

}  // namespace app
