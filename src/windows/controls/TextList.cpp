#include "windows/controls/TextList.h"

namespace windows {

void TextList::add(std::string_view utf8) {
    bytes_.append(utf8);
    ends_.push_back(bytes_.size());
}

void TextList::add(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    add(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::size_t TextList::start(int position) const {
    return position == 0 ? 0 : ends_[static_cast<std::size_t>(position) - 1];
}

void TextList::removeAt(int position) {
    const std::size_t from = start(position);
    const std::size_t length = ends_[static_cast<std::size_t>(position)] - from;
    bytes_.erase(from, length);
    ends_.erase(ends_.begin() + position);
    for (auto end = ends_.begin() + position; end != ends_.end(); ++end) {
        *end -= length;
    }
}

QString TextList::at(int position) const {
    const std::string_view utf8 = bytesAt(position);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string_view TextList::bytesAt(int position) const {
    const std::size_t from = start(position);
    return std::string_view(bytes_).substr(from, ends_[static_cast<std::size_t>(position)] - from);
}

}  // namespace windows
