#include "music/Albums.h"

#include <QRegularExpression>
#include <QString>
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

std::string parentOf(const std::string& folder) {
    const auto slash = folder.find_last_of('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

std::string folderName(const std::string& folder) {
    const auto slash = folder.find_last_of('/');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

// The text before the ending `ending` finds in it, or all of it (an ending that would leave
// nothing is no ending).
std::string withoutEnding(const std::string& text, const QRegularExpression& ending) {
    const QString whole = QString::fromStdString(text);
    const QRegularExpressionMatch found = ending.match(whole);
    return found.hasMatch() && found.capturedStart() > 0
               ? whole.left(found.capturedStart()).toStdString()
               : text;
}

// A disc's folder ("CD1", "Disc 2", "disk_3") holds part of the album its parent holds.
std::string albumFolder(const std::string& folder) {
    static const QRegularExpression disc(R"(^(cd|dis[ck])[\s_-]*\d{1,2}$)",
                                         QRegularExpression::CaseInsensitiveOption);
    return disc.match(QString::fromStdString(folderName(folder))).hasMatch() &&
                   !parentOf(folder).empty()
               ? parentOf(folder)
               : folder;
}

// An album tag that names its disc ("The White Album (Disc 1)", "Hits [CD2]", "Live - Disc
// 2 of 3") names the album without it.
std::string withoutDisc(const std::string& album) {
    static const QRegularExpression disc(
        R"(\s*(?:[-,:]\s*)?[(\[]?\s*\b(?:cd|dis[ck])\s*\d{1,2}(?:\s*of\s*\d{1,2})?\s*[)\]]?\s*$)",
        QRegularExpression::CaseInsensitiveOption);
    return withoutEnding(album, disc);
}

// The artist a track is by, its guests aside ("Daft Punk feat. Pharrell Williams" is Daft
// Punk's).
std::string mainArtist(const std::string& artist) {
    static const QRegularExpression guest(
        R"(\s*(?:[(\[]\s*(?:feat\.?|ft\.?|featuring)|\b(?:feat\.|ft\.|featuring))\s.*$)",
        QRegularExpression::CaseInsensitiveOption);
    return withoutEnding(artist, guest);
}

struct Group {
    std::string folder;  // where its first track lies, a disc's folder aside
    std::string album;   // its album tag without the disc; empty: named by its folder
    std::vector<const Track*> tracks;
};

// Tracks of one album name in one folder by several artists: each artist's tracks numbered
// 1, 2, ... of their own make that artist's album (ABBA's and Queen's "Greatest Hits" side
// by side); a compilation's artists share one numbering.
std::vector<Group> splitByArtists(const Group& group) {
    std::vector<std::string> order;
    std::unordered_map<std::string, Group> byArtist;
    for (const Track* track : group.tracks) {
        if (!track->albumArtist.empty() || track->number <= 0) {
            return {group};  // credited, or numbers unknown: one album
        }
        const std::string key = nameKey(mainArtist(track->artist));
        auto [at, added] = byArtist.try_emplace(key, Group{group.folder, group.album, {}});
        if (added) {
            order.push_back(key);
        }
        at->second.tracks.push_back(track);
    }
    for (const auto& [key, part] : byArtist) {
        std::vector<bool> seen(part.tracks.size() + 1, false);
        for (const Track* track : part.tracks) {
            const auto number = static_cast<std::size_t>(track->number);
            if (number >= seen.size() || seen[number]) {
                return {group};
            }
            seen[number] = true;
        }
    }
    if (order.size() < 2) {
        return {group};
    }
    std::vector<Group> parts;
    for (const std::string& key : order) {
        parts.push_back(std::move(byArtist.at(key)));
    }
    return parts;
}

// The album's artist: its album artist (on any of its tracks), or the one artist of all its
// tracks (guests aside), or "Various Artists".
std::optional<std::string> artistOf(const Group& group) {
    Tally albumArtists, artists;
    for (const Track* track : group.tracks) {
        albumArtists.add(track->albumArtist);
        artists.add(mainArtist(track->artist));
    }
    if (const auto credited = albumArtists.most()) {
        return credited;
    }
    if (artists.kinds() > 1) {
        return VariousArtists;
    }
    return artists.most();
}

Album albumOf(const Group& group) {
    Tally titles, genres, formats;
    for (const Track* track : group.tracks) {
        titles.add(withoutDisc(track->album));
        genres.add(track->genre);
        formats.add(track->format);
    }
    Album album;
    album.tracks = static_cast<std::int64_t>(group.tracks.size());
    album.namedByFolder = group.album.empty();
    auto& [artist, title, category, format] = album.texts;
    artist = artistOf(group);
    title =
        album.namedByFolder ? std::optional<std::string>(folderName(group.folder)) : titles.most();
    category = genres.most();
    format = formats.most();
    return album;
}

}  // namespace

std::vector<Album> albumsOf(const std::vector<Track>& tracks) {
    // By the folder they lie in (a disc's folder its parent's) and their album.
    std::vector<Group> groups;
    std::unordered_map<std::string, std::size_t> byKey;
    for (const Track& track : tracks) {
        const std::string folder = albumFolder(track.folder);
        const std::string album = withoutDisc(track.album);
        const std::string key = folder + "\x1f" + (album.empty() ? "" : "\x1f" + nameKey(album));
        auto [at, added] = byKey.try_emplace(key, groups.size());
        if (added) {
            groups.push_back(Group{folder, album, {}});
        }
        groups[at->second].tracks.push_back(&track);
    }
    // Split where artists number their tracks apart; joined over folders where one artist's
    // album lies in several.
    std::vector<Group> albums;
    std::unordered_map<std::string, std::size_t> byArtistAndAlbum;
    for (const Group& group : groups) {
        for (Group& part : splitByArtists(group)) {
            const auto artist = artistOf(part);
            if (!part.album.empty() && artist && *artist != VariousArtists) {
                const std::string key = nameKey(*artist) + "\x1f" + nameKey(part.album);
                const auto [at, added] = byArtistAndAlbum.try_emplace(key, albums.size());
                if (!added) {
                    Group& first = albums[at->second];
                    first.tracks.insert(first.tracks.end(), part.tracks.begin(), part.tracks.end());
                    continue;
                }
            }
            albums.push_back(std::move(part));
        }
    }
    std::vector<Album> records;
    records.reserve(albums.size());
    for (const Group& album : albums) {
        records.push_back(albumOf(album));
    }
    return records;
}

}  // namespace music
