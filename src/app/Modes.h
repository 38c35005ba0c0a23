#pragma once

#include <functional>

// The main window's modes as explicit states, and the one table of which command may be used
// in which. Browsing is where the program starts; adding (a new entry on screen) and searching
// (the search's results stand for the catalogue) are entered from it and left back to it; a
// run (a long work beside the windows) holds every command while it lasts, in any of them.
namespace app {

enum class Mode { Browsing, Adding, Searching, Running };

// The commands a mode can take away; those no mode takes away (Help, Exit) are not listed.
enum class Command {
    Add,  // Add, and Insert while adding
    Delete,
    Update,
    Move,    // First, Previous, Next, Last
    Search,  // Search, and Reset Search while searching
    Browse,
    Bookmark,         // also needs a place to go back to
    Undo,             // also needs a step to take back or make again (Undo and Redo)
    ChangeCatalogue,  // Import, Import Music Folder, Delete All, Repair/Compact
    FileMenu,
    ListsMenu,
    ReportsMenu,
    ViewsMenu,
    Counts,
    OptionsMenu,
};
inline constexpr int CommandCount = static_cast<int>(Command::OptionsMenu) + 1;

// Whether `command` may be used in `mode`.
bool commandAllowed(Mode mode, Command command);

class ModeMachine {
  public:
    Mode mode() const { return runs_ > 0 ? Mode::Running : mode_; }
    // The mode under a run: what the windows return to when it ends.
    Mode settled() const { return mode_; }
    bool adding() const { return mode_ == Mode::Adding; }
    bool searching() const { return mode_ == Mode::Searching; }

    // Adding and searching are entered from browsing only, and left back to it; a call that
    // does not fit the mode changes nothing and says false.
    bool enterAdding() { return move(Mode::Browsing, Mode::Adding); }
    bool leaveAdding() { return move(Mode::Adding, Mode::Browsing); }
    bool enterSearching() { return move(Mode::Browsing, Mode::Searching); }
    bool leaveSearching() { return move(Mode::Searching, Mode::Browsing); }
    // Runs nest (a compaction inside a delete-all): the mode is Running until the last ends.
    void beginRun();
    void endRun();

    // Told after every change of mode, so that the commands can be shown as the table says.
    void setOnChange(std::function<void()> told) { onChange_ = std::move(told); }

  private:
    bool move(Mode from, Mode to);
    void changed() const;

    Mode mode_ = Mode::Browsing;
    int runs_ = 0;
    std::function<void()> onChange_;
};

}  // namespace app
