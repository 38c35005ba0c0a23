#include "windows/controls/DropDown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>

namespace windows {

QComboBox* makeDropDown(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // No completer: nothing is filled in while typing, and items match with exact case.
    box->setCompleter(nullptr);
    // Leaving the field is not a pick from the list.
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    // The box has the size of the design; lists of many thousand names are neither
    // measured item by item nor laid out one row at a time.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* list = new QListView(box);
    list->setUniformItemSizes(true);
    box->setView(list);
    return box;
}

}  // namespace windows
