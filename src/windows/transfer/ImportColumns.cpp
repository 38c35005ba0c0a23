#include "windows/transfer/ImportColumns.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "windows/controls/PopupChoice.h"

namespace windows {
namespace {

struct Named {
    const char* name;   // the control's
    const char* label;  // with its accelerator
};
constexpr std::array<Named, 4> Columns{{{"cmbArtistColumn", "&Artist:"},
                                        {"cmbTitleColumn", "&Title:"},
                                        {"cmbCategoryColumn", "&Category:"},
                                        {"cmbFormatColumn", "&Format:"}}};

}  // namespace

ImportColumns::ImportColumns(QWidget* owner, const QStringList& fileColumns,
                             const std::array<int, 4>& chosen)
    : QWidget(owner) {
    setObjectName("ImportColumns");
    // Two to a row under their heading: room for the file's names in a window of any width.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Read from the file's columns:", this), 0, 0, 1, 4);
    layout->setColumnStretch(1, 1);  // the drop-downs take the room, the labels what they need
    layout->setColumnStretch(3, 1);
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        auto* label = new QLabel(Columns[i].label, this);
        QComboBox*& box = columns[i];
        box = new QComboBox(this);
        box->setObjectName(Columns[i].name);
        // As wide as a short name: a file's names may be of any length (the list shows them
        // whole).
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(16);
        label->setBuddy(box);
        chooseFromListOnly(box);  // each choice reads the whole file again
        const int row = 1 + static_cast<int>(i) / 2, column = 2 * (static_cast<int>(i) % 2);
        layout->addWidget(label, row, column);
        layout->addWidget(box, row, column + 1);
        connect(box, &QComboBox::activated, this, [this] {
            if (heard_) {
                heard_();
            }
        });
    }
    showColumns(fileColumns, chosen);
}

void ImportColumns::showColumns(const QStringList& fileColumns, const std::array<int, 4>& chosen) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        QComboBox* box = columns[i];
        box->clear();
        box->addItem("(none)", -1);
        for (int field = 0; field < fileColumns.size(); ++field) {
            box->addItem(fileColumns[field], field);
        }
        box->setCurrentIndex(box->findData(chosen[i]));
    }
}

std::array<int, 4> ImportColumns::chosen() const {
    std::array<int, 4> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = columns[i]->currentData().toInt();
    }
    return fields;
}

}  // namespace windows
