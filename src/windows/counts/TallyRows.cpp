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

std::vector<SortPlace> TallyRows::sortPlaces(int column) const {
    std::vector<SortPlace> places(tallies_.size());
    for (std::size_t row = 0; row < places.size(); ++row) {
        if (column == 1) {
            places[row] = {readsAsNumber(values_.bytesAt(static_cast<int>(row))),
                           static_cast<std::int64_t>(row)};
        } else if (column == 2) {
            places[row].number = static_cast<double>(tallies_[row]);
        }
    }
    return places;
}

}  // namespace windows
