#include "windows/report/FrmReportPreview.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/Desktop.h"
#include "platform/ScreenFit.h"
#include "reports/Painting.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "windows/controls/WindowRole.h"
#include "windows/report/ReportOutput.h"

namespace windows {

FrmReportPreview::FrmReportPreview(std::unique_ptr<reports::Report> report,
                                   platform::Desktop& desktop, QPrinter& printer,
                                   app::Runner& runner, QWidget* owner)
    : QWidget(owner, Qt::Window),
      report_(std::move(report)),
      desktop_(desktop),
      printer_(printer),
      runner_(runner) {
    describeAsWindow(*this);
    setObjectName("FrmReportPreview");
    setWindowTitle(report_->name());
    setAttribute(Qt::WA_DeleteOnClose);

    auto* tools = new QToolBar(this);
    auto action = [&](const char* name, const QString& caption, const QKeySequence& key,
                      auto&& handler) {
        QAction* item = tools->addAction(caption, this, handler);
        item->setObjectName(name);
        item->setShortcut(key);
        return item;
    };
    action("PreviewFirst", "&First", QKeySequence(Qt::Key_Home), [this] { showPage(0); });
    action("PreviewPrevious", "&Previous", QKeySequence(Qt::Key_PageUp),
           [this] { showPage(page_ - 1); });
    // "Page [n] of N": the number typed and Enter go to that page.
    auto* pageCaption = new QLabel("Pa&ge", this);
    pageCaption->setMargin(6);
    tools->addWidget(pageCaption);
    pageBox_ = new QSpinBox(this);
    pageBox_->setObjectName("PreviewPageBox");
    pageBox_->setAccessibleName("Page");
    pageBox_->setRange(1, report_->pageCount());
    pageBox_->setKeyboardTracking(false);  // typing "12" does not stop at page 1
    pageCaption->setBuddy(pageBox_);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int number) { showPage(number - 1); });
    // Enter gives the keys back to the page: Page Down turns a page again, + zooms.
    connect(pageBox_, &QSpinBox::editingFinished, this, [this] { scroll_->setFocus(); });
    tools->addWidget(pageBox_);
    pageCount_ = new QLabel(QString("of %1").arg(report_->pageCount()), this);
    pageCount_->setObjectName("PreviewPageCount");
    pageCount_->setMargin(6);
    tools->addWidget(pageCount_);
    auto* goToPage = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    connect(goToPage, &QShortcut::activated, this, [this] {
        pageBox_->setFocus();
        pageBox_->selectAll();
    });
    action("PreviewNext", "&Next", QKeySequence(Qt::Key_PageDown), [this] { showPage(page_ + 1); });
    action("PreviewLast", "&Last", QKeySequence(Qt::Key_End),
           [this] { showPage(report_->pageCount() - 1); });
    tools->addSeparator();
    zoom_ = new QComboBox(this);
    zoom_->setObjectName("PreviewZoom");
    zoom_->setAccessibleName("Zoom");
    for (const char* percent : {"50%", "75%", "100%", "125%", "150%", "200%"}) {
        zoom_->addItem(percent);
    }
    zoom_->setCurrentText("100%");
    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { render(); });
    tools->addWidget(zoom_);
    tools->addSeparator();
    action("PreviewPrint", "P&rint...", QKeySequence::Print, [this] {
        if (desktop_.choosePrinter(this, printer_)) {
            printReportOn(*report_, printer_, desktop_, runner_, this);
        }
    });
    action("PreviewSave", "&Save as PDF...", QKeySequence::Save,
           [this] { saveReportAsPdf(*report_, desktop_, runner_, this); });
    action("PreviewClose", "&Close", QKeySequence(Qt::Key_Escape), [this] { close(); });

    image_ = new QLabel;
    image_->setObjectName("PreviewImage");
    image_->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(image_);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(scroll_);
    // A whole page wide at 100%, as tall as the screen allows, over its owner.
    resize(840, 900);
    if (owner) {
        move(owner->geometry().center() - rect().center());
    }
    platform::fitOnScreen(*this);
    showPage(0);
    scroll_->setFocus();  // + and - zoom, the page keys turn pages, from the start
}

FrmReportPreview::~FrmReportPreview() = default;

double FrmReportPreview::zoom() const {
    return zoom_->currentText().chopped(1).toDouble() / 100.0;
}

void FrmReportPreview::showPage(int index) {
    page_ = std::clamp(index, 0, report_->pageCount() - 1);
    const QSignalBlocker quiet(pageBox_);
    pageBox_->setValue(page_ + 1);
    render();
    scroll_->verticalScrollBar()->setValue(0);
}

// Paints the page as paper on the screen: white, at the zoom, sharp on dense screens.
void FrmReportPreview::render() {
    const double dotsPerPoint = zoom() * 96.0 / 72.0 * devicePixelRatioF();
    const QSizeF points = report_->pageLayout().fullRect(QPageLayout::Point).size();
    QImage paper((points * dotsPerPoint).toSize(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(dotsPerPoint * 72 / 0.0254);
    paper.setDotsPerMeterX(dotsPerMeter);
    paper.setDotsPerMeterY(dotsPerMeter);
    try {
        QPainter painter(&paper);
        painter.setRenderHint(QPainter::TextAntialiasing);
        reports::paintPage(painter, report_->page(page_), dotsPerPoint);
    } catch (const reports::ReportError& error) {
        desktop_.messageBox(QStringLiteral("Error %1 %2")
                                .arg(error.number)
                                .arg(QString::fromStdString(error.description)),
                            platform::Buttons::Ok, platform::Icon::Critical, "Error Trap");
    }
    QPixmap shown = QPixmap::fromImage(paper);
    shown.setDevicePixelRatio(devicePixelRatioF());  // painted in the screen's own dots
    image_->setPixmap(shown);
}

void FrmReportPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus) {
        const int step = event->key() == Qt::Key_Plus ? 1 : -1;
        zoom_->setCurrentIndex(std::clamp(zoom_->currentIndex() + step, 0, zoom_->count() - 1));
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace windows
