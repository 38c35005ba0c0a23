#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, RetryCancel };
enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// Why the help could not be shown: a numbered failure, as the program's messages give it.
struct HelpFailure {
    int number;
    QString description;
};

inline const QString ApplicationTitle = QStringLiteral("Quorvane");

// A one-shot alarm on a monotonic clock: starting it again restarts the wait, stopping or
// destroying it cancels it.
class Alarm {
  public:
    virtual ~Alarm() = default;
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
};

// Every side effect the windows have beyond their own widgets goes through here, so tests
// can script and record it. Production uses QtDesktop.
class Desktop {
  public:
    virtual ~Desktop() = default;

    // A modal message; an empty title shows the application title.
    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                              const QString& title = {}) = 0;
    virtual void beep() = 0;
    virtual void setBusyPointer(bool busy) = 0;
    // Shows topic `context` of the help file, in front, for the window `owner` that asked;
    // says why it could not. The help is a window of its own, usable while any window that
    // asked for it is open (even a modal one), and it stays until the user closes it or the
    // program ends.
    virtual std::optional<HelpFailure> showHelp(QWidget* owner, const QString& helpFile,
                                                int context) = 0;
    virtual void openAddress(const QString& address) = 0;

    // Printing: whether any printer is installed; the printer dialog (false when the user
    // cancels); the name of a file to save, asked of the user (empty when cancelled; a name
    // typed without a suffix gets the first one of the filter).
    virtual bool printerInstalled() = 0;
    virtual bool choosePrinter(QWidget* owner, QPrinter& printer) = 0;
    virtual QString chooseSaveFile(QWidget* owner, const QString& caption, const QString& suggested,
                                   const QString& filter) = 0;
    // The name of an existing file to open, asked of the user (empty when cancelled).
    virtual QString chooseOpenFile(QWidget* owner, const QString& caption, const QString& folder,
                                   const QString& filter) = 0;
    // An existing folder, asked of the user (empty when cancelled).
    virtual QString chooseFolder(QWidget* owner, const QString& caption, const QString& folder) = 0;
    // Plays a MIDI file from its start in the background (any tune playing stops first);
    // without a synthesiser, a sound font or an audio device it stays silent, unreported.
    virtual void playTune(const QString& file) = 0;
    virtual void stopTune() = 0;
    // An alarm that calls `onTime` on the user-interface thread when its wait is over.
    virtual std::unique_ptr<Alarm> makeAlarm(std::function<void()> onTime) = 0;

    // Milliseconds since some fixed moment (wraps like any tick counter).
    virtual std::uint32_t tickCount() = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    // Lets events run for up to `milliseconds` without spinning the processor.
    virtual void idle(int milliseconds) = 0;

    // The application directory, without a trailing separator: the folder of the catalogue
    // this run works on (the program's own folder when it holds the catalogue).
    virtual QString applicationDirectory() = 0;

    // Ends the process at once. Production never returns from it.
    virtual void endProgram() = 0;
};

}  // namespace platform
