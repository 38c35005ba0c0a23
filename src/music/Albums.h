#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"

// Tracks of a music folder gathered into albums, one record each.
namespace music {

// One audio file's tags as read (empty: no such tag, or one of blanks only; each run of white
// space one blank), where it lies and its kind ("MP3").
struct Track {
    std::string artist, albumArtist, album, genre;
    std::string folder;  // relative to the folder scanned; that folder's name for its own
    std::string format;
    int number = 0;  // on the album (its disc); 0: not known
};

struct Album {
    db::RecordTexts texts;       // Artist, Title, Category, Format
    bool namedByFolder = false;  // no album tag: its folder's name is its title
    std::int64_t tracks = 0;
};

inline constexpr const char* VariousArtists = "Various Artists";

// Tracks are one album when they lie in one folder (a disc's folder, "CD1", counts as its
// parent) and their album tags agree under the collation, case, how an accent is written and
// a disc named at the end ("(Disc 2)", "[CD1]") aside, whatever their album artist tags;
// except that in one folder the artists whose tracks are each numbered from 1 on their own
// make an album each (two artists' "Greatest Hits" side by side; a compilation's artists
// share one numbering). One artist's album over several folders is one album. Tracks without
// an album are one album per folder, named by it.
// The album's artist is its album artist (on any track), or the one artist of all its tracks
// (a guest, "feat. X", aside), or "Various Artists"; its category the genre most of its
// tracks carry; its format the kind most of its files are. Albums come in the order their
// first tracks came.
std::vector<Album> albumsOf(const std::vector<Track>& tracks);

}  // namespace music
