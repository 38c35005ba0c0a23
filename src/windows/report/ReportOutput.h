#pragma once

class QPrinter;
class QWidget;

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

// Sending a report out, with a progress window the user can stop (its Cancel, or Esc). The
// window shows at once and holds the other windows of the program while the pages go out.

// Prints on the printer; with no printer installed, offers to save a PDF file instead
// (declining that is a stop).
ReportSent printReportOn(reports::Report& report, QPrinter& printer, platform::Desktop& desktop,
                         QWidget* owner);

// Asks for a file name and writes the report there as PDF (cancelling the file dialog is a
// stop).
ReportSent saveReportAsPdf(reports::Report& report, platform::Desktop& desktop, QWidget* owner);

}  // namespace windows
