#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

#include "sqlite/DbError.h"
#include "sqlite/Recordset.h"

class QLineEdit;
class QWidget;

namespace app {

struct AppState;

// Fills VersionText, NoticeText and CompanyText.
void SetAboutStrings(AppState& state);

// "12 Artists ", "1 Artist ": the record tally as the status bar shows it.
QString TallyText(std::int64_t tally);

// "1,234 records", "1 record": a count in the reader's digits, with the word that suits it.
QString counted(std::int64_t count, const char* one, const char* many);

// What failed, then the engine's description, for a message box.
QString failureText(const QString& what, const db::DbError& error);

// "Error N (description) in procedure NAME of Form 'FORM'".
QString procedureMessage(const db::DbError& error, const QString& procedure,
                         const QString& form = QStringLiteral("FrmMain"));

// What an error trap does with a failed step.
enum class Trap { Resume, Stop };
using Step = std::function<void()>;
using ErrorTrap = std::function<Trap(const db::DbError&)>;

// Runs the steps in order under one error trap, which decides after each failure whether
// the next step runs. Returns false when the trap stopped the run.
bool runSteps(std::initializer_list<Step> steps, const ErrorTrap& trap);

// Shows topic `context` of the help file for `window`; 9998 and above mean no help.
void DisplayHelpOnHelp(AppState& state, QWidget* window, int context);

// Selects the whole text of a text box, so that typing replaces it.
void SelectAllText(QLineEdit* box);

// Runs one step; a database failure is skipped and the next step runs.
template <typename Step>
void resumeNext(Step&& step) {
    try {
        step();
    } catch (const db::DbError&) {
    }
}

}  // namespace app
