#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "windows/controls/Grid.h"

namespace windows {

// A tally's rows (an empty first column, the value, the count) held compactly: the values'
// UTF-8 bytes one after another, so a million groups take tens of megabytes, not widgets.
class TallyRows : public GridRows {
  public:
    void add(std::optional<std::string_view> value, std::int64_t tally);
    int rowCount() const override;
    QString text(int row, int column) const override;

  private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
    std::vector<std::int64_t> tallies_;
};

}  // namespace windows
