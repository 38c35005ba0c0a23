#pragma once

#include <QTimer>

#include <cstdint>
#include <functional>

#include "sqlite/Connection.h"

namespace app {

// Records added many at once (an import) wait for the word index; this indexes them a short
// step at a time while the program is idle, so that neither the import nor the windows wait
// for it. A search meanwhile finds them in their texts.
class WordsCatchUp {
  public:
    // `mayWork`: whether the connection is free for a step now (no run, no transaction).
    WordsCatchUp(db::Connection& connection, std::function<bool()> mayWork);

    // Looks whether records wait, and indexes them until none does.
    void start();
    bool running() const { return timer_.isActive(); }

  private:
    void step();

    db::Connection& connection_;
    std::function<bool()> mayWork_;
    QTimer timer_;
    std::int64_t perStep_;
};

}  // namespace app
