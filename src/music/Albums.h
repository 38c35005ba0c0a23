#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"

// Tracks of a music folder gathered into albums, one record each.
namespace music {

// One audio file's tags as read (empty: no such tag), where it lies and its kind ("MP3").
struct Track {
    std::string artist, albumArtist, album, genre;
    std::string folder;  // relative to the folder scanned; that folder's name for its own
    std::string format;
};

struct Album {
    db::RecordTexts texts;       // Artist, Title, Category, Format
    bool namedByFolder = false;  // no album tag: its folder's name is its title
    std::int64_t tracks = 0;
};

inline constexpr const char* VariousArtists = "Various Artists";

// Tracks are one album when their album artist (or, without one, their artist) and their
// album agree under the collation, case and how an accent is written aside; tracks of one
// folder with the same album and no album artist are one album whatever their artists
// (a compilation). Tracks without an album are one album per folder, named by it.
// The album's artist is its album artist, or the one artist of all its tracks, or "Various
// Artists"; its category the genre most of its tracks carry; its format the kind most of
// its files are. Albums come in the order their first tracks came.
std::vector<Album> albumsOf(const std::vector<Track>& tracks);

}  // namespace music
