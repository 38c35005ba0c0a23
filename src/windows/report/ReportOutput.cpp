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

// Runs a paint with a progress window; the window's Cancel stops it between pages. The
// window is shown at once and is modal over its owner's window: the other windows of the
// program cannot act while the pages go out, and they are painted again after each page.
ReportSent withProgress(reports::Report& report, platform::Desktop& desktop, QWidget* owner,
                        const QString& label,
                        const std::function<bool(const reports::Progress&)>& paint) {
    QProgressDialog progress(label, "&Cancel", 0, report.pageCount(), owner);
    progress.setWindowTitle(platform::ApplicationTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    try {
        const bool done = paint([&](int page) {
            progress.setValue(page);  // lets pending events run, Cancel among them
            return !progress.wasCanceled();
        });
        progress.reset();
        return done ? ReportSent::Done : ReportSent::Stopped;
    } catch (const reports::ReportError& error) {
        progress.reset();
        sayReportFailure(desktop, error);
        return ReportSent::Failed;
    }
}

}  // namespace

void sayReportFailure(platform::Desktop& desktop, const reports::ReportError& error) {
    desktop.beep();
    desktop.beep();
    desktop.messageBox(QStringLiteral("Error %1 %2")
                           .arg(error.number)
                           .arg(QString::fromStdString(error.description)),
                       Buttons::Ok, Icon::Critical, "Error Trap");
}

ReportSent printReportOn(reports::Report& report, QPrinter& printer, platform::Desktop& desktop,
                         QWidget* owner) {
    if (!desktop.printerInstalled()) {
        const Answer answer = desktop.messageBox(
            "No printer is installed on this computer.\r\nSave the report as a PDF file instead?",
            Buttons::YesNo, Icon::Question);
        return answer == Answer::Yes ? saveReportAsPdf(report, desktop, owner)
                                     : ReportSent::Stopped;
    }
    return withProgress(
        report, desktop, owner, "Printing the report...",
        [&](const auto& progress) { return reports::paintReport(report, printer, progress); });
}

ReportSent saveReportAsPdf(reports::Report& report, platform::Desktop& desktop, QWidget* owner) {
    // Offered under the report's name and the day, so two saves do not meet by chance.
    const QString offered =
        report.name() + " " + QDate::currentDate().toString(Qt::ISODate) + ".pdf";
    const QString path = desktop.chooseSaveFile(
        owner, "Save the Report as PDF", QDir::home().filePath(offered), "PDF files (*.pdf)");
    if (path.isEmpty()) {
        return ReportSent::Stopped;
    }
    return withProgress(report, desktop, owner, "Saving the report...", [&](const auto& progress) {
        return reports::writePdf(report, path, progress);
    });
}

}  // namespace windows
