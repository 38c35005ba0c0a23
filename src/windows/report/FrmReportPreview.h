#pragma once

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace app {
class Runner;
}
namespace platform {
class Desktop;
}
namespace reports {
class Report;
}

namespace windows {

// A report on the screen, a page at a time: first, previous, next and last page (also Home,
// Page Up, Page Down, End), a page by its number (Ctrl+G), zoom (+ and -), Print and Save as
// PDF. Each page is laid out when shown, so a report of a million records opens on its first
// page at once. The caption is the report's name. Closing discards it.
class FrmReportPreview : public QWidget {
    Q_OBJECT
  public:
    FrmReportPreview(std::unique_ptr<reports::Report> report, platform::Desktop& desktop,
                     QPrinter& printer, app::Runner& runner, QWidget* owner);
    ~FrmReportPreview() override;

    int currentPage() const { return page_; }
    void showPage(int index);
    QSpinBox* pageBox() const { return pageBox_; }
    QLabel* pageCountLabel() const { return pageCount_; }
    QLabel* pageImage() const { return image_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void render();
    double zoom() const;

    std::unique_ptr<reports::Report> report_;
    platform::Desktop& desktop_;
    QPrinter& printer_;
    app::Runner& runner_;  // the main window's: printing holds every window
    int page_ = 0;
    QScrollArea* scroll_;
    QLabel* image_;
    QSpinBox* pageBox_;
    QLabel* pageCount_;
    QComboBox* zoom_;
};

}  // namespace windows
