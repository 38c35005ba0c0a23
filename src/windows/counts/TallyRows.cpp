#include "windows/counts/TallyRows.h"

namespace windows {

void TallyRows::add(std::optional<std::string_view> value, std::int64_t tally) {
    bytes_.append(value.value_or(std::string_view()));  // the group of Nulls shows empty
    ends_.push_back(bytes_.size());
    tallies_.push_back(tally);
}

int TallyRows::rowCount() const {
    return static_cast<int>(tallies_.size());
}

QString TallyRows::text(int row, int column) const {
    const auto at = static_cast<std::size_t>(row);
    if (column == 1) {
        const std::size_t start = at == 0 ? 0 : ends_[at - 1];
        return QString::fromUtf8(bytes_.data() + start, static_cast<qsizetype>(ends_[at] - start));
    }
    return column == 2 ? QString::number(tallies_[at]) : QString();
}

}  // namespace windows
