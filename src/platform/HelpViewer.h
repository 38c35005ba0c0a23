#pragma once

#include <QDialog>

class QTextBrowser;

namespace platform {

// Shows the program's help document, one topic at a time: topic N is the anchor "topicN".
class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* owner);
    // False when the document cannot be read.
    bool showTopic(const QString& helpFile, int context);

  private:
    QTextBrowser* browser_;
    QString loadedFile_;
};

}  // namespace platform
