#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QComboBox;

namespace windows {

// The file's column each of Artist, Title, Category and Format is read from, or none: four
// drop-downs in a row, each with its label and accelerator.
class ImportColumns : public QWidget {
    Q_OBJECT
  public:
    ImportColumns(QWidget* owner, const QStringList& fileColumns, const std::array<int, 4>& chosen);
    std::array<int, 4> chosen() const;
    // The file's columns offered again (the file was read in another encoding).
    void showColumns(const QStringList& fileColumns, const std::array<int, 4>& chosen);
    // Heard when the user picks another column for one of them.
    void onChange(std::function<void()> heard) { heard_ = std::move(heard); }

    std::array<QComboBox*, 4> columns;  // cmbArtistColumn, cmbTitleColumn, ...

  private:
    std::function<void()> heard_;
};

}  // namespace windows
