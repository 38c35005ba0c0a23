#include "windows/report/ReportOutput.h"

#include <QDir>
#include <QPrinter>

#include "app/runs/Runner.h"
#include "platform/Desktop.h"
#include "reports/Painting.h"
#include "reports/Report.h"
#include "reports/ReportError.h"

namespace windows {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

// Runs a paint beside the windows, its share the pages done; Esc, or closing the window, asks
// whether to stop between pages.
ReportSent withProgress(reports::Report& report, platform::Desktop& desktop, app::Runner& runner,
                        const QString& caption, const QString& question,
                        const std::function<bool(const reports::Progress&)>& paint) {
    try {
        const int pages = std::max(report.pageCount(), 1);
        const bool done = runner.run(
            app::RunPlan::asking(caption + " %p%", question), [&](app::RunProgress& progress) {
                return paint([&](int page) { return progress.report(page * 99 / pages); });
            });
        return done ? ReportSent::Done : ReportSent::Stopped;
    } catch (const reports::ReportError& error) {
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
                         app::Runner& runner, QWidget* owner) {
    if (!desktop.printerInstalled()) {
        const Answer answer = desktop.messageBox(
            "No printer is installed on this computer.\r\nSave the report as a PDF file instead?",
            Buttons::YesNo, Icon::Question);
        return answer == Answer::Yes ? saveReportAsPdf(report, desktop, runner, owner)
                                     : ReportSent::Stopped;
    }
    return withProgress(
        report, desktop, runner, "Printing the report...", "Stop printing the report?",
        [&](const auto& progress) { return reports::paintReport(report, printer, progress); });
}

ReportSent saveReportAsPdf(reports::Report& report, platform::Desktop& desktop, app::Runner& runner,
                           QWidget* owner) {
    // Offered under the report's name and the day, so two saves do not meet by chance.
    const QString offered =
        report.name() + " " + QDate::currentDate().toString(Qt::ISODate) + ".pdf";
    const QString path = desktop.chooseSaveFile(
        owner, "Save the Report as PDF", QDir::home().filePath(offered), "PDF files (*.pdf)");
    if (path.isEmpty()) {
        return ReportSent::Stopped;
    }
    return withProgress(
        report, desktop, runner, "Saving the report...", "Stop saving the report?",
        [&](const auto& progress) { return reports::writePdf(report, path, progress); });
}

}  // namespace windows
