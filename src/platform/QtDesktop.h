#pragma once

#include <QPointer>

#include "platform/Desktop.h"

namespace platform {

class HelpViewer;
class TunePlayer;

class QtDesktop final : public Desktop {
  public:
    // `applicationDirectory` is the folder this run's catalogue is in.
    explicit QtDesktop(QString applicationDirectory);
    ~QtDesktop() override;

    Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                      const QString& title) override;
    void beep() override;
    void setBusyPointer(bool busy) override;
    std::optional<HelpFailure> showHelp(QWidget* owner, const QString& helpFile,
                                        int context) override;
    void openAddress(const QString& address) override;
    bool printerInstalled() override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    QString chooseSaveFile(QWidget* owner, const QString& caption, const QString& suggested,
                           const QString& filter) override;
    QString chooseOpenFile(QWidget* owner, const QString& caption, const QString& folder,
                           const QString& filter) override;
    QString chooseFolder(QWidget* owner, const QString& caption, const QString& folder) override;
    void playTune(const QString& file) override;
    void stopTune() override;
    std::unique_ptr<Alarm> makeAlarm(std::function<void()> onTime) override;
    std::uint32_t tickCount() override;
    void processEvents() override;
    void idle(int milliseconds) override;
    QString applicationDirectory() override;
    [[noreturn]] void endProgram() override;

  private:
    QString applicationDirectory_;
    bool busy_ = false;
    QPointer<HelpViewer> help_;  // null once the user has closed it
    std::unique_ptr<TunePlayer> tune_;
};

}  // namespace platform
