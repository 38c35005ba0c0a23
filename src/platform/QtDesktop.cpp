#include "platform/QtDesktop.h"

#include <unistd.h>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "platform/HelpViewer.h"
#include "platform/ScreenFit.h"
#include "platform/TunePlayer.h"

namespace platform {
namespace {

// A timer on the system's monotonic clock, so it is not fooled by a tick counter that wraps
// or a clock set back.
class QtAlarm final : public Alarm {
  public:
    explicit QtAlarm(std::function<void()> onTime) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTime));
    }
    void start(int milliseconds) override { timer_.start(milliseconds); }
    void stop() override { timer_.stop(); }

  private:
    QTimer timer_;
};

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        case Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

Answer fromQt(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        default:
            return Answer::Ok;
    }
}

}  // namespace

QtDesktop::QtDesktop(QString applicationDirectory)
    : applicationDirectory_(std::move(applicationDirectory)) {}
QtDesktop::~QtDesktop() {
    delete help_;
}

Answer QtDesktop::messageBox(const QString& text, Buttons buttons, Icon icon,
                             const QString& title) {
    QMessageBox box(toQt(icon), title.isEmpty() ? ApplicationTitle : title, text, toQt(buttons),
                    QApplication::activeWindow());
    box.setObjectName("MessageBox");
    widenToTitle(box);
    // The pointer may be the hourglass while a long command asks something.
    const bool wasBusy = busy_;
    setBusyPointer(false);
    const int answer = box.exec();
    setBusyPointer(wasBusy);
    return fromQt(answer);
}

void QtDesktop::beep() {
    QApplication::beep();
}

void QtDesktop::setBusyPointer(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

std::optional<HelpFailure> QtDesktop::showHelp(QWidget* /*owner*/, const QString& helpFile,
                                               int context) {
    // No parent: a window-modal side window blocks its owner's windows, not this one, and
    // the viewer does not go when the window that asked first does.
    if (!help_) {
        help_ = new HelpViewer(nullptr);
    }
    if (!help_->showTopic(helpFile, context)) {
        constexpr int FileNotFound = 53;
        return HelpFailure{FileNotFound, "File not found: " + QDir::toNativeSeparators(helpFile)};
    }
    return std::nullopt;
}

void QtDesktop::openAddress(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

bool QtDesktop::printerInstalled() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool QtDesktop::choosePrinter(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

QString QtDesktop::chooseSaveFile(QWidget* owner, const QString& caption, const QString& suggested,
                                  const QString& filter) {
    // A name typed without a suffix gets the filter's, before the dialog asks whether to
    // replace a file of that name: the question is about the file that will be written.
    QFileDialog dialog(owner, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    static const QRegularExpression firstSuffix(R"(\*\.(\w+))");
    if (const auto match = firstSuffix.match(filter); match.hasMatch()) {
        dialog.setDefaultSuffix(match.captured(1));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

QString QtDesktop::chooseOpenFile(QWidget* owner, const QString& caption, const QString& folder,
                                  const QString& filter) {
    return QFileDialog::getOpenFileName(owner, caption, folder, filter);
}

QString QtDesktop::chooseFolder(QWidget* owner, const QString& caption, const QString& folder) {
    return QFileDialog::getExistingDirectory(owner, caption, folder);
}

void QtDesktop::playTune(const QString& file) {
    if (!tune_) {
        tune_ = std::make_unique<TunePlayer>();
    }
    tune_->play(file);
}

void QtDesktop::stopTune() {
    if (tune_) {
        tune_->stop();
    }
}

std::unique_ptr<Alarm> QtDesktop::makeAlarm(std::function<void()> onTime) {
    return std::make_unique<QtAlarm>(std::move(onTime));
}

std::uint32_t QtDesktop::tickCount() {
    static QElapsedTimer clock;
    if (!clock.isValid()) {
        clock.start();
    }
    return static_cast<std::uint32_t>(clock.elapsed());
}

void QtDesktop::processEvents() {
    QCoreApplication::processEvents();
}

void QtDesktop::idle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QString QtDesktop::applicationDirectory() {
    return applicationDirectory_;
}

void QtDesktop::endProgram() {
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace platform
