#pragma once

class QPrinter;
class QWidget;

namespace app {
class Runner;
}
namespace platform {
class Desktop;
}
namespace reports {
class Report;
struct ReportError;
}  // namespace reports

namespace windows {

// How sending a report out ended. A failure has been said: two beeps and the error number
// and description, as every failure of a report run is said.
enum class ReportSent { Done, Stopped, Failed };

// Says a failure of a report run: two beeps, then the error number and description.
void sayReportFailure(platform::Desktop& desktop, const reports::ReportError& error);

// Sending a report out as a run: the pages go out beside the windows, which are held, with the
// share on the main window's bar; Esc asks whether to stop, between pages.

// Prints on the printer; with no printer installed, offers to save a PDF file instead
// (declining that is a stop).
ReportSent printReportOn(reports::Report& report, QPrinter& printer, platform::Desktop& desktop,
                         app::Runner& runner, QWidget* owner);

// Asks for a file name and writes the report there as PDF (cancelling the file dialog is a
// stop).
ReportSent saveReportAsPdf(reports::Report& report, platform::Desktop& desktop, app::Runner& runner,
                           QWidget* owner);

}  // namespace windows
