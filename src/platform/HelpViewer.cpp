#include "platform/HelpViewer.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/Desktop.h"
#include "platform/ScreenFit.h"

namespace platform {

HelpViewer::HelpViewer(QWidget* owner)
    : QDialog(owner), browser_(new QTextBrowser(this)), search_(new QLineEdit(this)) {
    setObjectName("HelpViewer");
    setWindowTitle(ApplicationTitle + " Help");
    setAttribute(Qt::WA_DeleteOnClose);
    browser_->setObjectName("HelpText");
    browser_->setOpenExternalLinks(true);

    auto* tools = new QToolBar(this);
    QAction* contents =
        tools->addAction("&Contents", this, [this] { browser_->scrollToAnchor("contents"); });
    contents->setObjectName("HelpContents");
    QAction* back = tools->addAction("&Back", browser_, &QTextBrowser::backward);
    back->setObjectName("HelpBack");
    back->setShortcut(QKeySequence::Back);
    QAction* forward = tools->addAction("&Forward", browser_, &QTextBrowser::forward);
    forward->setObjectName("HelpForward");
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    tools->addSeparator();
    search_->setObjectName("HelpSearch");
    search_->setPlaceholderText("Search (Ctrl+F)");
    search_->setAccessibleName("Search the help");
    search_->setClearButtonEnabled(true);
    search_->setMaximumWidth(220);
    tools->addWidget(search_);
    connect(search_, &QLineEdit::returnPressed, this, [this] { findText(false); });
    auto* focusSearch = new QShortcut(QKeySequence::Find, this);
    connect(focusSearch, &QShortcut::activated, this, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });
    auto* findPrevious = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), search_);
    findPrevious->setContext(Qt::WidgetShortcut);
    connect(findPrevious, &QShortcut::activated, this, [this] { findText(true); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(browser_);
    resize(640, 520);
    fitOnScreen(*this);
}

bool HelpViewer::showTopic(const QString& helpFile, int context) {
    if (loadedFile_ != helpFile) {
        QFile file(helpFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        browser_->setHtml(QString::fromUtf8(file.readAll()));
        browser_->clearHistory();
        loadedFile_ = helpFile;
    }
    // Going to the anchor through the browser keeps the way back.
    browser_->setSource(QUrl(QStringLiteral("#topic%1").arg(context)));
    show();
    raise();
    activateWindow();
    return true;
}

bool HelpViewer::findText(bool backwards) {
    const QString text = search_->text();
    if (text.isEmpty()) {
        return false;
    }
    const auto flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(text, flags)) {
        return true;
    }
    // Not found from here on: go round once from the other end.
    browser_->moveCursor(backwards ? QTextCursor::End : QTextCursor::Start);
    return browser_->find(text, flags);
}

}  // namespace platform
