#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Discogs collection export (its CSV), read as the catalogue keeps records: the artist
// without the site's disambiguation numbers, the first format word, the collection folder as
// the category.
namespace app::discogs {

// Whether a file's header names are those of a collection export: a release_id and a catalogue
// number ("Catalog#", or "Catalog Number" as some tools write it), letter case aside.
bool isExportHeader(const std::vector<std::string>& names);

// "Eat (2), Die Warzau" -> "Eat, Die Warzau": every " (N)" after a name goes.
std::string artistOf(std::string_view artist);
// "LP, Album" -> "LP", "2xCD, Comp" -> "CD", "7\", Single" -> "7\"": the first format, its count
// of discs dropped.
std::string formatOf(std::string_view formats);
// The collection folder, but for the folder everything is in until sorted.
std::optional<std::string> categoryOf(std::string_view folder);

}  // namespace app::discogs
