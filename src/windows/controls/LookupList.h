#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "windows/controls/TextList.h"

class QComboBox;

namespace windows {

class TextListModel;

// One lookup list (artists, categories or formats) as drop-downs show it. The main
// window's drop-down and the list's editor show the same items, so the two can never
// drift apart. Changing the items never changes the text a drop-down shows and raises none
// of its signals: a list is not a record, and a record's text must not follow the list.
class LookupList : public QObject {
    Q_OBJECT
  public:
    explicit LookupList(QObject* parent);

    // The drop-down shows this list from now on.
    void attach(QComboBox* box);

    // Items are given and removed by their place in the table, and shown in the
    // collation's order.
    void fill(TextList items);
    void append(const QString& item);
    void removeAt(int position);

    int count() const;
    QStringList items() const;  // as shown

  private:
    template <typename Change>
    void change(Change&& apply);

    TextListModel* model_;
    QList<QPointer<QComboBox>> boxes_;
};

}  // namespace windows
