#include "reports/Painting.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

#include "reports/Report.h"
#include "reports/ReportError.h"

namespace reports {

void paintPage(QPainter& painter, const Page& page, double dotsPerPoint) {
    auto scaled = [dotsPerPoint](const QRectF& box) {
        return QRectF(box.topLeft() * dotsPerPoint, box.size() * dotsPerPoint);
    };
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.5 * dotsPerPoint)));
    for (const QLineF& rule : page.rules) {
        painter.drawLine(QLineF(rule.p1() * dotsPerPoint, rule.p2() * dotsPerPoint));
    }
    double size = -1;
    bool bold = false;
    for (const TextRun& run : page.runs) {
        if (run.size != size || run.bold != bold) {
            // The device's own resolution turns points into dots.
            painter.setFont(reportFont(run.size, run.bold));
            size = run.size;
            bold = run.bold;
        }
        painter.drawText(scaled(run.box),
                         static_cast<int>(run.align | Qt::AlignVCenter) | Qt::TextSingleLine,
                         run.text);
    }
}

bool paintReport(Report& report, QPagedPaintDevice& device, const Progress& progress) {
    device.setPageLayout(report.pageLayout());
    QPainter painter;
    if (!painter.begin(&device)) {
        throw ReportError(err::OutputError, "The report could not be sent to its destination.");
    }
    const double dotsPerPoint = device.logicalDpiY() / 72.0;
    for (int index = 0; index < report.pageCount(); ++index) {
        if (index > 0 && !device.newPage()) {
            throw ReportError(err::OutputError, "A page could not be started.");
        }
        paintPage(painter, report.page(index), dotsPerPoint);
        if (progress && !progress(index + 1)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

bool writePdf(Report& report, const QString& path, const Progress& progress) {
    bool done = false;
    {
        QPdfWriter pdf(path);
        pdf.setCreator("Quorvane");
        pdf.setResolution(600);
        done = paintReport(report, pdf, progress);
    }
    if (!done) {
        QFile::remove(path);
    }
    return done;
}

}  // namespace reports
