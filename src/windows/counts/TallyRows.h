#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "windows/controls/Grid.h"
#include "windows/controls/TextList.h"

namespace windows {

// A tally's rows (an empty first column, the value, the count) held compactly, so a
// million groups take tens of megabytes, not widgets.
class TallyRows : public GridRows {
  public:
    void add(std::optional<std::string_view> value, std::int64_t tally);
    int rowCount() const override;
    std::int64_t tally(int row) const { return tallies_[static_cast<std::size_t>(row)]; }
    QString text(int row, int column) const override;
    // The rows come in the collation's order of their values: that order is their rank.
    std::vector<SortPlace> sortPlaces(int column) const override;
    bool isNumberColumn(int column) const override { return column == 2; }  // the counts

  private:
    TextList values_;
    std::vector<std::int64_t> tallies_;
};

}  // namespace windows
