#pragma once

#include <cstdint>
#include <optional>

#include "catalogue/Views.h"
#include "sqlite/Connection.h"

namespace db::catalogue {

// Reads records of Main by row id: their four texts, nothing for a Null.
class RecordReader {
  public:
    using Texts = RecordTexts;
    explicit RecordReader(Connection& connection);
    // Nothing when the record is gone.
    std::optional<Texts> read(std::int64_t rowId);

  private:
    Statement statement_;
};

}  // namespace db::catalogue
