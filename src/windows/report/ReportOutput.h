#pragma once

class QPrinter;
class QWidget;

namespace platform {
class Desktop;
}
namespace reports {
class Report;
}

namespace windows {

// Sending a report out, with a progress window the user can stop. Each says what failed
// (the error number and description) and returns false; a stop returns false quietly.

// Prints on the printer; with no printer installed, offers to save a PDF file instead.
bool printReportOn(reports::Report& report, QPrinter& printer, platform::Desktop& desktop,
                   QWidget* owner);

// Asks for a file name and writes the report there as PDF.
bool saveReportAsPdf(reports::Report& report, platform::Desktop& desktop, QWidget* owner);

}  // namespace windows
