// Finding and placing: Find, bookmarks and absolute positions on a keyset recordset.
#include <algorithm>
#include <unordered_set>

#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/SqlText.h"

namespace db {
namespace {

// LIKE pattern for "begins with": the user's %, _ and \ match themselves.
std::string prefixPattern(const std::string& value) {
    std::string pattern;
    for (char c : value) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + '%';
}

}  // namespace

void Recordset::setAbsolutePosition(std::int64_t ordinal) {
    requireKeyset("AbsolutePosition");
    flushEdit();
    if (ordinal < 1 || ordinal > live_) {
        throw DbError::badBookmark();
    }
    if (live_ == static_cast<std::int64_t>(keys_.size())) {
        pos_ = static_cast<std::ptrdiff_t>(ordinal - 1);
        return;
    }
    std::int64_t seen = 0;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (!removed_[i] && ++seen == ordinal) {
            pos_ = static_cast<std::ptrdiff_t>(i);
            return;
        }
    }
}

std::int64_t Recordset::absolutePosition() const {
    requireKeyset("AbsolutePosition");
    currentKey();  // there must be a current row
    if (live_ == static_cast<std::int64_t>(keys_.size())) {
        return pos_ + 1;
    }
    return 1 + std::count(removed_.begin(), removed_.begin() + pos_, 0);
}

std::int64_t Recordset::bookmark() const {
    requireKeyset("Bookmark");
    return currentKey();
}

void Recordset::setBookmark(std::int64_t rowId) {
    requireKeyset("Bookmark");
    flushEdit();
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == rowId && !removed_[i]) {
            pos_ = static_cast<std::ptrdiff_t>(i);
            return;
        }
    }
    throw DbError::badBookmark();
}

void Recordset::find(const std::string& column, FindOp op, const std::string& value) {
    requireKeyset("Find");
    flushEdit();
    const std::string name = quoted(columns_[columnIndex(column)]);
    if (bof() || eof()) {
        throw DbError::noCurrentRecord();
    }
    const std::string condition =
        op == FindOp::Equal ? name + " = ?" : name + " LIKE ? ESCAPE '\\'";
    Statement statement(*connection_,
                        "SELECT rowid FROM " + quoted(source_.table) + " WHERE " + condition);
    statement.bind(1, Value(op == FindOp::Equal ? value : prefixPattern(value)));
    std::unordered_set<std::int64_t> matches;
    while (statement.step()) {
        matches.insert(statement.integerColumn(0));
    }
    const auto size = static_cast<std::ptrdiff_t>(keys_.size());
    std::ptrdiff_t i = std::max<std::ptrdiff_t>(pos_, 0);
    while (!matches.empty() && i < size && (removed_[i] || !matches.contains(keys_[i]))) {
        ++i;
    }
    pos_ = matches.empty() ? size : i;
}

}  // namespace db
