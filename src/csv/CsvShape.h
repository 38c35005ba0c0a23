#pragma once

#include <cstddef>
#include <string_view>

// What a file's first bytes and lines say of its shape, before it is read as records.
namespace csv {

// The wide Unicode encoding the bytes are in, by their byte order mark or, without one, by the
// zero bytes between their first letters: "UTF-32", "UTF-16" or nothing.
const char* wideEncodingOf(std::string_view bytes);

// How many fields the widest of the first 50 records has, no more than four (the first with
// four ends the look): a file without a header keeps every column a later line fills.
std::size_t widestOfFirstRecords(std::string_view text, char delimiter);

}  // namespace csv
