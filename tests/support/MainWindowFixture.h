#pragma once

#include <memory>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
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

    windows::FrmMain& load() {
        window = std::make_unique<windows::FrmMain>(state);
        window->Form_Load();
        return *window;
    }

    TestCatalogue catalogue;
    ScriptedDesktop desktop;
    app::AppState state;
    std::unique_ptr<windows::FrmMain> window;
};

}  // namespace testing
