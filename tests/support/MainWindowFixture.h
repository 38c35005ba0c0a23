#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "support/MainPage.h"
#include "support/ScriptedDesktop.h"
#include "support/TestCatalogue.h"
#include "windows/main/FrmMain.h"

namespace testing {

// A main window loaded on a catalogue of its own, with a scripted desktop.
struct MainWindowFixture {
    explicit MainWindowFixture(const std::vector<TestCatalogue::Row>& rows = {},
                               bool withSample = false)
        : catalogue(rows, withSample), state(desktop) {
        desktop.appDirectory = catalogue.directory();
        app::SetAboutStrings(state);
    }

    MainPage& load() {
        window = std::make_unique<windows::FrmMain>(state);
        page = std::make_unique<MainPage>(*window);
        window->Form_Load();
        return *page;
    }

    TestCatalogue catalogue;
    ScriptedDesktop desktop;
    app::AppState state;
    std::unique_ptr<windows::FrmMain> window;
    std::unique_ptr<MainPage> page;  // the window's controls, as a test finds them
};

// The question before the record shown changes while it holds an edit.
inline const QString SaveChanges =
    QStringLiteral("Changes have been made to record\r\nSave Changes?");

// Three records in three categories, artists in alphabetical order.
inline std::vector<TestCatalogue::Row> threeRecords() {
    return {{"ABBA", "Arrival", "Pop", "CD"},
            {"Bob Dylan", "Blonde on Blonde", "Rock", "LP"},
            {"Coltrane", "Giant Steps", "Jazz", "LP"}};
}

// The fixture's window loaded, shown and active, so keys reach it as a user's would.
inline MainPage& shown(MainWindowFixture& f) {
    auto& w = f.load();
    w.window().show();
    if (!QTest::qWaitForWindowActive(&w.window())) {
        qWarning("window did not become active");
    }
    return w;
}

// The items of a drop-down's list, in order.
inline QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) {
        list << box->itemText(i);
    }
    return list;
}

inline void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace testing
