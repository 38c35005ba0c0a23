// The Reports menu: the full and the grouped report, sorted as the view (or the search) and
// limited to the search in force, on the screen or on the printer; and the printer dialog.
#include <QAction>
#include <QDate>
#include <QLabel>
#include <QPrinter>

#include "app/AppState.h"
#include "app/runs/Runner.h"
#include "app/start/Locations.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "windows/controls/HelpKey.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"
#include "windows/report/FrmReportPreview.h"
#include "windows/report/ReportOutput.h"
#include "windows/search/FrmSearch.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;

// The sort list and heading of each view, as the reports have always been sorted.
struct ReportOrder {
    const char* key;
    std::array<const char*, 3> sort;  // nullptr: the position is left as it was
    const char* heading;
};

constexpr ReportOrder Orders[] = {
    {"Title", {"+{Main.Title}", nullptr, nullptr}, "TxtTitle = 'View by Title'"},
    {"Category", {"+{Main.Category}", "+{Main.Title}", nullptr}, "TxtTitle = 'View by Category'"},
    {"Artist", {"+{Main.Artist}", "+{Main.Title}", nullptr}, "TxtTitle = 'View by Artist'"},
    {"Format",
     {"+{Main.Format}", "+{Main.Artist}", "+{Main.Title}"},
     "TxtTitle = 'View by Format'"},
};

}  // namespace

void FrmMain::mnuReportFullReport_Click() {
    runReport("Zembo1.rpt");
}

void FrmMain::mnuReportGroupReport_Click() {
    runReport("Zembo2.rpt");
}

void FrmMain::runReport(const QString& file) {
    Report1.destination = mnuReportPrintToScreen->isChecked() ? 0 : 1;
    lblMsgBar1->setText("Processing Report...");
    Report1.reportFile = app::findResource(state_.session.AppDir, state_.ResourceDirs, file);
    PrintReport();
}

// Sets the engine's sort list and heading from the view (or the searched field), its
// selection from the search in force, and runs it. A failure beeps twice and is said; a
// report that was not shown, printed or saved is never said to be processed.
void FrmMain::PrintReport() {
    auto& s = state_;
    // The search window names the title field "TITLE": the key is compared without regard
    // to case, so a report after a search on titles is sorted by title.
    const QString key = s.Modes.searching() ? frmSearch()->fieldTag()
                                            : QString::fromStdString(s.session.rsMain.index());
    for (const ReportOrder& order : Orders) {
        if (key.compare(order.key, Qt::CaseInsensitive) == 0) {
            for (std::size_t i = 0; i < order.sort.size(); ++i) {
                if (order.sort[i]) {
                    Report1.sortFields[i] = order.sort[i];
                }
            }
            Report1.formulas[0] = order.heading;
        }
    }
    Report1.selectionFormula = s.session.ReportFilter;
    Report1.printFileType = 2;
    ReportSent sent = ReportSent::Failed;
    try {
        sent = produceReport();
    } catch (const reports::ReportError& error) {
        if (error.number == reports::err::FileNotFound) {
            desktop_.beep();
            desktop_.beep();
            desktop_.messageBox("Zembo1.rpt or Zembo2.rpt file not found!", Buttons::Ok,
                                Icon::Critical, "Missing File Error");
        } else {
            sayReportFailure(desktop_, error);
        }
    }
    switch (sent) {
        case ReportSent::Done:
            lblMsgBar1->setText("Report Processed");
            break;
        case ReportSent::Stopped:
            lblMsgBar1->setText("Report Canceled");
            break;
        case ReportSent::Failed:
            lblMsgBar1->clear();
            break;
    }
}

// The report on its destination: a preview window on the screen, or the printer. The other
// windows are held while the catalogue is read and the pages go out.
ReportSent FrmMain::produceReport() {
    std::unique_ptr<reports::Report> report;
    {
        // The catalogue read and the pages planned beside the windows, which stay painted.
        app::Runner::Run run(*runner_, app::RunPlan::steady({}));
        report = run.beside([&](app::RunProgress&) {
            return reports::makeReport(state_.session.cnMain, Report1, QDate::currentDate());
        });
        if (Report1.destination != 0) {
            return printReportOn(*report, printer_, desktop_, *runner_, this);
        }
    }
    auto* preview = new FrmReportPreview(std::move(report), desktop_, printer_, *runner_, this);
    addHelpKey(*preview, state_, helptopic::Preview);
    preview->show();
    preview->activateWindow();
    return ReportSent::Done;
}

// The printer dialog; Cancel, or a failure, ends it without a word.
void FrmMain::mnuReportSetup_Click() {
    desktop_.choosePrinter(this, printer_);
}

}  // namespace windows
