#pragma once

#include <QString>
#include <QStringList>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Desktop.h"

namespace testing {

// A desktop that records every side effect and answers message boxes from a script.
// Its clock moves only when the program waits, so timed waits run instantly.
class ScriptedDesktop final : public platform::Desktop {
  public:
    struct Message {
        QString text;
        platform::Buttons buttons;
        platform::Icon icon;
        QString title;  // as shown: the application title when none was given
    };
    struct HelpRequest {
        QString file;
        int context;
    };

    // Answers for the next message boxes, in order. A box the test did not script fails
    // the test (and gets its first button, so the program goes on).
    std::deque<platform::Answer> answers;
    std::vector<Message> messages;
    std::vector<HelpRequest> helpRequests;
    QStringList addresses;
    int beeps = 0;
    bool busy = false;
    int ended = 0;
    std::uint32_t clock = 1000;
    QString appDirectory;
    std::function<void()> onIdle;                   // runs at each wait, to act "during" it
    std::function<void()> onEvents;                 // runs when the program lets pending events run
    std::function<void(const Message&)> onMessage;  // runs as each box is shown
    std::function<void(bool)> onBusyPointer;        // runs as the busy pointer is set

    platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon icon,
                                const QString& title) override {
        messages.push_back(
            {text, buttons, icon, title.isEmpty() ? platform::ApplicationTitle : title});
        if (onMessage) {
            onMessage(messages.back());
        }
        if (!answers.empty()) {
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        }
        QTest::qFail(qPrintable("a message box the test did not expect: " + text), __FILE__,
                     __LINE__);
        switch (buttons) {
            case platform::Buttons::YesNo:
                return platform::Answer::Yes;
            case platform::Buttons::RetryCancel:
                return platform::Answer::Retry;
            default:
                return platform::Answer::Ok;
        }
    }
    void beep() override { ++beeps; }
    void setBusyPointer(bool on) override {
        busy = on;
        if (onBusyPointer) {
            onBusyPointer(on);
        }
    }
    std::optional<platform::HelpFailure> helpFailure;  // what showing help answers
    // Where help is shown for real, when a test needs the viewer (it answers instead).
    std::function<std::optional<platform::HelpFailure>(QWidget*, const QString&, int)> helpShower;
    std::optional<platform::HelpFailure> showHelp(QWidget* owner, const QString& file,
                                                  int context) override {
        helpRequests.push_back({file, context});
        return helpShower ? helpShower(owner, file, context) : helpFailure;
    }
    void openAddress(const QString& address) override { addresses << address; }

    bool printers = true;                 // whether a printer is installed
    std::deque<bool> printerAnswers;      // answers of the printer dialog, in order
    std::deque<QString> saveFileAnswers;  // names chosen in save dialogs, in order
    std::deque<QString> openFileAnswers;  // names chosen in open dialogs, in order
    int printerDialogs = 0;
    bool printerInstalled() override { return printers; }
    std::function<void(QPrinter&)> onChoosePrinter;  // what the user sets in the dialog
    bool choosePrinter(QWidget*, QPrinter& printer) override {
        ++printerDialogs;
        if (onChoosePrinter) {
            onChoosePrinter(printer);
        }
        if (printerAnswers.empty()) {
            QTest::qFail("a printer dialog the test did not expect", __FILE__, __LINE__);
            return false;
        }
        const bool answer = printerAnswers.front();
        printerAnswers.pop_front();
        return answer;
    }
    QStringList offeredSaveNames;  // the file names the save dialogs proposed
    QString chooseSaveFile(QWidget*, const QString&, const QString& offered,
                           const QString&) override {
        offeredSaveNames << offered;
        return nextFileName(saveFileAnswers, "a save dialog the test did not expect");
    }
    QString chooseOpenFile(QWidget*, const QString&, const QString&, const QString&) override {
        return nextFileName(openFileAnswers, "an open dialog the test did not expect");
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override {
        return nextFileName(openFileAnswers, "a folder dialog the test did not expect");
    }
    static QString nextFileName(std::deque<QString>& answers, const char* unexpected) {
        if (answers.empty()) {
            QTest::qFail(unexpected, __FILE__, __LINE__);
            return {};
        }
        const QString name = answers.front();
        answers.pop_front();
        return name;
    }
    QStringList tunesPlayed;  // every file a tune was played from, in order
    bool tunePlaying = false;
    void playTune(const QString& file) override {
        tunesPlayed << file;
        tunePlaying = true;
    }
    void stopTune() override { tunePlaying = false; }

    // Alarms keep the scripted clock: `advance` moves it on and rings those that are due.
    class ScriptedAlarm final : public platform::Alarm {
      public:
        ScriptedAlarm(ScriptedDesktop& desktop, std::function<void()> onTime)
            : desktop_(desktop), onTime_(std::move(onTime)) {
            desktop_.alarms_.push_back(this);
        }
        ~ScriptedAlarm() override { std::erase(desktop_.alarms_, this); }
        void start(int milliseconds) override {
            startedAt_ = desktop_.clock;
            wait_ = static_cast<std::uint32_t>(milliseconds);
            running_ = true;
        }
        void stop() override { running_ = false; }
        bool due() const { return running_ && desktop_.clock - startedAt_ >= wait_; }
        void ring() {
            running_ = false;
            onTime_();
        }

      private:
        ScriptedDesktop& desktop_;
        std::function<void()> onTime_;
        std::uint32_t startedAt_ = 0, wait_ = 0;
        bool running_ = false;
    };
    std::unique_ptr<platform::Alarm> makeAlarm(std::function<void()> onTime) override {
        return std::make_unique<ScriptedAlarm>(*this, std::move(onTime));
    }
    // Moves the clock on by `milliseconds` (wrapping as a tick counter does) and rings every
    // alarm that is then due.
    void advance(std::uint32_t milliseconds) {
        clock += milliseconds;
        for (bool rang = true; rang;) {
            rang = false;
            for (ScriptedAlarm* alarm : alarms_) {
                if (alarm->due()) {
                    alarm->ring();  // may destroy alarms: look again from the start
                    rang = true;
                    break;
                }
            }
        }
    }

    std::uint32_t tickCount() override { return clock; }
    void processEvents() override {
        clock += 1;
        if (onEvents) {
            onEvents();
        }
    }
    void idle(int milliseconds) override {
        clock += static_cast<std::uint32_t>(milliseconds);
        if (onIdle) {
            onIdle();
        }
    }
    QString applicationDirectory() override { return appDirectory; }
    void endProgram() override { ++ended; }

  private:
    std::vector<ScriptedAlarm*> alarms_;

  public:
    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : messages) {
            texts << m.text;
        }
        return texts;
    }
};

}  // namespace testing
