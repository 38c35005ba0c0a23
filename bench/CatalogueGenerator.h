#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes a catalogue of `records` recordings with a realistic spread: a few prolific
// artists and a long tail, titles that repeat across artists, a few Nulls and names with
// apostrophes. The same count always gives the same file.
void generateCatalogue(const std::string& path, std::int64_t records);

// The path of a cached generated catalogue of that size, made on first use.
std::string cachedCatalogue(std::int64_t records);

}  // namespace bench
