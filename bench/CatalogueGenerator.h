#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes a catalogue of `records` recordings with a realistic spread: a few prolific
// artists and a long tail, titles that repeat across artists, a few Nulls and names with
// apostrophes; and `artists` names in the artist list. The same counts always give the
// same file.
void generateCatalogue(const std::string& path, std::int64_t records, std::int64_t artists = 0);

// The path of a generated catalogue of those sizes cached in `directory`, made on first use.
std::string cachedCatalogue(const std::string& directory, std::int64_t records,
                            std::int64_t artists = 0);

}  // namespace bench
