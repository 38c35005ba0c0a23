#pragma once

#include <QString>
#include <functional>

class QPainter;
class QPagedPaintDevice;

namespace reports {

class Report;
struct Page;

// Paints a page at a number of device dots per point (the device's dots per inch / 72).
void paintPage(QPainter& painter, const Page& page, double dotsPerPoint);

// Told the number of each page as it is done; answers false to stop.
using Progress = std::function<bool(int page)>;

// Paints every page of the report onto a printer or a PDF writer. False when stopped.
// Throws ReportError (OutputError) when the device cannot be painted on.
bool paintReport(Report& report, QPagedPaintDevice& device, const Progress& progress);

// Writes the report as a PDF file. False when stopped (the partial file is removed).
bool writePdf(Report& report, const QString& path, const Progress& progress);

}  // namespace reports
