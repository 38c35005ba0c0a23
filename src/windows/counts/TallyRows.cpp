#include "windows/counts/TallyRows.h"

namespace windows {

void TallyRows::add(std::optional<std::string_view> value, std::int64_t tally) {
    values_.add(value.value_or(std::string_view()));  // the group of Nulls shows empty
    tallies_.push_back(tally);
}

int TallyRows::rowCount() const {
    return static_cast<int>(tallies_.size());
}

QString TallyRows::text(int row, int column) const {
    if (column == 1) {
        return values_.at(row);
    }
    return column == 2 ? QString::number(tallies_[static_cast<std::size_t>(row)]) : QString();
}

}  // namespace windows
