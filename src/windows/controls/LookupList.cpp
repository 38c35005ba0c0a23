#include "windows/controls/LookupList.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QSignalBlocker>

namespace windows {

// The list's items as the drop-downs read them, converted one at a time as they are shown.
class TextListModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : texts.size();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
            return {};
        }
        return texts.at(index.row());
    }

    void replace(TextList items) {
        beginResetModel();
        texts = std::move(items);
        endResetModel();
    }
    void append(const QString& item) {
        beginInsertRows({}, texts.size(), texts.size());
        texts.add(item);
        endInsertRows();
    }
    void remove(int position) {
        beginRemoveRows({}, position, position);
        texts.removeAt(position);
        endRemoveRows();
    }

    TextList texts;
};

LookupList::LookupList(QObject* parent) : QObject(parent), model_(new TextListModel(this)) {}

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

void LookupList::fill(TextList items) {
    change([&] { model_->replace(std::move(items)); });
}

void LookupList::append(const QString& item) {
    change([&] { model_->append(item); });
}

void LookupList::removeAt(int position) {
    change([&] { model_->remove(position); });
}

int LookupList::count() const {
    return model_->texts.size();
}

QStringList LookupList::items() const {
    return model_->texts.toStringList();
}

}  // namespace windows
