#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace windows {

// A list of texts kept compactly as their UTF-8 bytes one after another: a hundred
// thousand names are one block of memory, filled straight from the database, and each text
// becomes a QString only when it is shown.
class TextList {
  public:
    void add(std::string_view utf8);
    void add(const QString& text);
    void removeAt(int position);

    int size() const { return static_cast<int>(ends_.size()); }
    QString at(int position) const;
    std::string_view bytesAt(int position) const;  // its UTF-8

  private:
    std::size_t start(int position) const;
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

}  // namespace windows
