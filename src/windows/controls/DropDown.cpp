#include "windows/controls/DropDown.h"

#include <QComboBox>
#include <QLineEdit>

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
    return box;
}

}  // namespace windows
