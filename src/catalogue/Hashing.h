#pragma once

#include <cstdint>

namespace db::catalogue {

// A 64-bit value's bits spread over all 64 (the finaliser of splitmix64): hashes of row ids and
// of keys are built from it.
inline std::uint64_t spread(std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

}  // namespace db::catalogue
