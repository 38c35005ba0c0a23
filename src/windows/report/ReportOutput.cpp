#include "windows/report/ReportOutput.h"

#include <QDir>
#include <QPrinter>
#include <QProgressDialog>

#include "platform/Desktop.h"
#include "reports/Painting.h"
#include "reports/Report.h"
#include "reports/ReportError.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

// Runs a paint with a progress window; the window's Cancel stops it between pages.
bool withProgress(reports::Report& report, QWidget* owner, const QString& label,
                  const std::function<bool(const reports::Progress&)>& paint) {
    QProgressDialog progress(label, "&Cancel", 0, report.pageCount(), owner);
    progress.setWindowTitle(platform::ApplicationTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const bool done = paint([&](int page) {
        progress.setValue(page);  // lets pending events run, Cancel among them
        return !progress.wasCanceled();
    });
    progress.reset();
    return done;
}

void sayFailure(platform::Desktop& desktop, const reports::ReportError& error) {
    desktop.messageBox(QStringLiteral("Error %1 %2")
                           .arg(error.number)
                           .arg(QString::fromStdString(error.description)),
                       Buttons::Ok, Icon::Critical, "Error Trap");
}

}  // namespace

bool printReportOn(reports::Report& report, QPrinter& printer, platform::Desktop& desktop,
                   QWidget* owner) {
    if (!desktop.printerInstalled()) {
        const Answer answer = desktop.messageBox(
            "No printer is installed on this computer.\r\nSave the report as a PDF file instead?",
            Buttons::YesNo, Icon::Question);
        return answer == Answer::Yes && saveReportAsPdf(report, desktop, owner);
    }
    try {
        return withProgress(report, owner, "Printing the report...", [&](const auto& progress) {
            return reports::paintReport(report, printer, progress);
        });
    } catch (const reports::ReportError& error) {
        sayFailure(desktop, error);
        return false;
    }
}

bool saveReportAsPdf(reports::Report& report, platform::Desktop& desktop, QWidget* owner) {
    const QString path = desktop.chooseSaveFile(
        owner, "Save the Report as PDF", QDir::home().filePath("Report.pdf"), "PDF files (*.pdf)");
    if (path.isEmpty()) {
        return false;
    }
    try {
        return withProgress(report, owner, "Saving the report...", [&](const auto& progress) {
            return reports::writePdf(report, path, progress);
        });
    } catch (const reports::ReportError& error) {
        sayFailure(desktop, error);
        return false;
    }
}

}  // namespace windows
