#include "music/Albums.h"

#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "catalogue/Collation.h"

namespace music {
namespace {

std::string nameKey(std::string_view text) {
    return db::collation::nameKey(text);
}

// The value most often met, counted as names (the first met of the most on a tie), in its
// first spelling.
class Tally {
  public:
    void add(const std::string& value) {
        if (value.empty()) {
            return;
        }
        auto [at, added] = counts_.try_emplace(nameKey(value), Count{value, 0});
        if (added) {
            order_.push_back(at->first);
        }
        ++at->second.times;
    }
    std::optional<std::string> most() const {
        const Count* best = nullptr;
        for (const std::string& key : order_) {
            const Count& count = counts_.at(key);
            if (!best || count.times > best->times) {
                best = &count;
            }
        }
        return best ? std::optional<std::string>(best->spelling) : std::nullopt;
    }
    std::size_t kinds() const { return order_.size(); }

  private:
    struct Count {
        std::string spelling;
        std::int64_t times;
    };
    std::unordered_map<std::string, Count> counts_;
    std::vector<std::string> order_;
};

struct Gathered {
    Tally albumArtists, artists, titles, genres, formats;
    std::string folder;  // the folder of its first track
    bool byFolder = false;
    std::int64_t tracks = 0;
};

// The key a track's album is known by: by its folder without an album tag; by album artist
// and album; or, with neither album artist, by artist and album (merged by folder below).
std::string albumKey(const Track& track) {
    if (track.album.empty()) {
        return "folder\x1f" + track.folder;
    }
    const bool credited = !track.albumArtist.empty();
    return std::string(credited ? "album artist\x1f" : "artist\x1f") +
           nameKey(credited ? track.albumArtist : track.artist) + "\x1f" + nameKey(track.album);
}

std::string folderName(const std::string& folder) {
    const auto slash = folder.find_last_of('/');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

Album albumOf(const Gathered& gathered) {
    Album album;
    album.tracks = gathered.tracks;
    album.namedByFolder = gathered.byFolder;
    auto& [artist, title, category, format] = album.texts;
    if (const auto credited = gathered.albumArtists.most()) {
        artist = credited;
    } else if (gathered.artists.kinds() == 1) {
        artist = gathered.artists.most();
    } else if (gathered.artists.kinds() > 1) {
        artist = VariousArtists;
    }
    title = gathered.byFolder ? std::optional<std::string>(folderName(gathered.folder))
                              : gathered.titles.most();
    category = gathered.genres.most();
    format = gathered.formats.most();
    return album;
}

}  // namespace

std::vector<Album> albumsOf(const std::vector<Track>& tracks) {
    std::vector<Gathered> gathered;
    std::unordered_map<std::string, std::size_t> byKey;
    // Albums without an album artist, by folder and album: a compilation's artists join.
    std::map<std::pair<std::string, std::string>, std::size_t> uncredited;
    for (const Track& track : tracks) {
        const std::string key = albumKey(track);
        auto found = byKey.find(key);
        if (found == byKey.end() && !track.album.empty() && track.albumArtist.empty()) {
            const auto inFolder = uncredited.find({track.folder, nameKey(track.album)});
            if (inFolder != uncredited.end()) {
                found = byKey.emplace(key, inFolder->second).first;
            }
        }
        if (found == byKey.end()) {
            found = byKey.emplace(key, gathered.size()).first;
            Gathered& album = gathered.emplace_back();
            album.folder = track.folder;
            album.byFolder = track.album.empty();
            if (!track.album.empty() && track.albumArtist.empty()) {
                uncredited.emplace(std::pair{track.folder, nameKey(track.album)}, found->second);
            }
        }
        Gathered& album = gathered[found->second];
        album.albumArtists.add(track.albumArtist);
        album.artists.add(track.artist);
        album.titles.add(track.album);
        album.genres.add(track.genre);
        album.formats.add(track.format);
        ++album.tracks;
    }
    std::vector<Album> albums;
    albums.reserve(gathered.size());
    for (const Gathered& album : gathered) {
        albums.push_back(albumOf(album));
    }
    return albums;
}

}  // namespace music
