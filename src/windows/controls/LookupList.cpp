#include "windows/controls/LookupList.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringListModel>

namespace windows {

LookupList::LookupList(QObject* parent) : QObject(parent), model_(new QStringListModel(this)) {}

void LookupList::attach(QComboBox* box) {
    boxes_ << box;
    change([&] { box->setModel(model_); });
}

// The toolkit moves a drop-down's choice, and with it the text it shows, when the rows
// under it change: each drop-down keeps its text, quietly.
template <typename Change>
void LookupList::change(Change&& apply) {
    boxes_.removeAll(nullptr);
    std::vector<QSignalBlocker> quiet;
    QStringList texts;
    for (QComboBox* box : boxes_) {
        quiet.emplace_back(box);
        texts << box->currentText();
    }
    apply();
    for (qsizetype i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setCurrentIndex(-1);
        boxes_[i]->setEditText(texts[i]);
    }
}

void LookupList::fill(const QStringList& items) {
    change([&] { model_->setStringList(items); });
}

void LookupList::append(const QString& item) {
    change([&] {
        const int row = model_->rowCount();
        model_->insertRows(row, 1);
        model_->setData(model_->index(row), item);
    });
}

void LookupList::removeAt(int position) {
    change([&] { model_->removeRows(position, 1); });
}

int LookupList::count() const {
    return model_->rowCount();
}

QStringList LookupList::items() const {
    return model_->stringList();
}

}  // namespace windows
