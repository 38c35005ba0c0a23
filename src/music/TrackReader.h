#pragma once

#include <QString>
#include <chrono>
#include <optional>
#include <string>

#include "music/Albums.h"

namespace music {

// One audio file's tags (each run of white space one blank, a tag of blanks no tag) and its
// number on the album, read from a descriptor it takes over. A file holds music when a tag
// reader finds sound of some length in it: random bytes or an Ogg of headers alone do not.
// The reading stops once `bound` has passed, whatever the reader would go on doing with a
// large file that is not audio. `why` says what kept a file from being read.
struct TrackRead {
    std::optional<Track> track;
    QString why;
};
TrackRead readTrack(int descriptor, const std::string& name, std::chrono::milliseconds bound);

}  // namespace music
