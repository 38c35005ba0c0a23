#include "platform/HelpViewer.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/Desktop.h"

namespace platform {

HelpViewer::HelpViewer(QWidget* owner) : QDialog(owner), browser_(new QTextBrowser(this)) {
    setObjectName("HelpViewer");
    setWindowTitle(ApplicationTitle + " Help");
    setAttribute(Qt::WA_DeleteOnClose);
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(560, 480);
}

bool HelpViewer::showTopic(const QString& helpFile, int context) {
    if (loadedFile_ != helpFile) {
        QFile file(helpFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        browser_->setHtml(QString::fromUtf8(file.readAll()));
        loadedFile_ = helpFile;
    }
    browser_->scrollToAnchor(QStringLiteral("topic%1").arg(context));
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace platform
