#pragma once

#include <QDialog>

class QLineEdit;
class QTextBrowser;
class QToolBar;

namespace platform {

// The program's help: one HTML document whose topic N is the anchor "topicN". It has a
// contents list at the top, Back and Forward, and a search (Ctrl+F, then Enter for the
// next place, Shift+Enter for the one before).
class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* owner);
    // False when the document cannot be read.
    bool showTopic(const QString& helpFile, int context);

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchBox() const { return search_; }
    // Moves to the next place the search text is found (or the one before); false if none.
    bool findText(bool backwards);

  private:
    QTextBrowser* browser_;
    QLineEdit* search_;
    QString loadedFile_;
};

}  // namespace platform
