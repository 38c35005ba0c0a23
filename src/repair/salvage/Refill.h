#pragma once

#include <cstdint>
#include <string>

namespace db::salvage {

// Fills the fresh catalogue `catalogue` with the rows SQLite's recovery wrote to the
// database `recovered`: Main with its row ids, plus the records the recovery could not
// place but that can only be Main's; the lists, the report title and the options take what
// was recovered of them, a missing option or title keeping the fresh catalogue's. Answers
// how many records Main holds; throws a DbError when the recovery found none of the
// catalogue's tables and no records.
std::int64_t refill(const std::string& catalogue, const std::string& recovered);

}  // namespace db::salvage
