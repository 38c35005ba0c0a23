#include "windows/browse/BrowseRows.h"

#include "db/DbError.h"

namespace windows {

BrowseRows::BrowseRows(db::Connection& connection) : connection_(connection), cache_(CacheRows) {}

void BrowseRows::add(std::int64_t rowId) {
    ids_.push_back(rowId);
}

std::int64_t BrowseRows::rowId(int row) const {
    return ids_[static_cast<std::size_t>(row)];
}

int BrowseRows::rowCount() const {
    return static_cast<int>(ids_.size());
}

QString BrowseRows::text(int row, int column) const {
    if (column < 1 || column > 4) {
        return {};
    }
    const std::int64_t id = rowId(row);
    Cached& slot = cache_[static_cast<std::size_t>(row) % CacheRows];
    if (slot.rowId != id) {
        const auto now = std::chrono::steady_clock::now();
        if (!reading_ || now < quietUntil_) {
            return {};
        }
        try {
            if (!reader_) {
                reader_ = std::make_unique<db::catalogue::RecordReader>(connection_);
            }
            slot.texts =
                reader_->read(id).value_or(db::catalogue::RecordReader::Texts{});  // gone: empty
            slot.rowId = id;
        } catch (const db::DbError&) {
            quietUntil_ = now + std::chrono::seconds(2);
            return {};
        }
    }
    const auto& text = slot.texts[static_cast<std::size_t>(column - 1)];
    return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
}

}  // namespace windows
