#include "windows/controls/LookupList.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>
#include <numeric>

#include "catalogue/Collation.h"

namespace windows {

// The list's items as the drop-downs read them, converted one at a time as they are shown.
// The items are kept in the table's order (the editors address them by their place in the
// table) and shown in the collation's order, equal names in the table's.
class TextListModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : texts.size();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount() ||
            (role != Qt::DisplayRole && role != Qt::EditRole)) {
            return {};
        }
        return texts.at(shown_[static_cast<std::size_t>(index.row())]);
    }

    void replace(TextList items) {
        std::vector<std::string> keys(static_cast<std::size_t>(items.size()));
        for (int i = 0; i < items.size(); ++i) {
            keys[static_cast<std::size_t>(i)] = db::collation::sortKey(items.bytesAt(i));
        }
        std::vector<int> shown(keys.size());
        std::iota(shown.begin(), shown.end(), 0);
        std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
            return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
        });
        beginResetModel();
        texts = std::move(items);
        shown_ = std::move(shown);
        endResetModel();
    }
    // Shown after every name that sorts with it or before it.
    void append(const QString& item) {
        const QByteArray utf8 = item.toUtf8();
        const std::string key = db::collation::sortKey(
            std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        const auto row = std::partition_point(shown_.begin(), shown_.end(), [&](int position) {
            return db::collation::sortKey(texts.bytesAt(position)) <= key;
        });
        const int at = static_cast<int>(row - shown_.begin());
        beginInsertRows({}, at, at);
        shown_.insert(row, texts.size());
        texts.add(item);
        endInsertRows();
    }
    void remove(int position) {
        const auto row = std::find(shown_.begin(), shown_.end(), position);
        const int at = static_cast<int>(row - shown_.begin());
        beginRemoveRows({}, at, at);
        shown_.erase(row);
        for (int& later : shown_) {
            later -= later > position ? 1 : 0;
        }
        texts.removeAt(position);
        endRemoveRows();
    }
    QStringList shownTexts() const {
        QStringList list;
        list.reserve(texts.size());
        for (const int position : shown_) {
            list << texts.at(position);
        }
        return list;
    }

    TextList texts;

  private:
    std::vector<int> shown_;  // for each row shown, the item's place in the table
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
    return model_->shownTexts();
}

}  // namespace windows
