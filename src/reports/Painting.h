#pragma once

#include <QString>
#include <functional>

class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

namespace reports {

class Report;
struct Page;

// Paints a page at a number of device dots per point (the device's dots per inch / 72).
void paintPage(QPainter& painter, const Page& page, double dotsPerPoint);

// Told the number of each page as it is done; answers false to stop.
using Progress = std::function<bool(int page)>;

// Paints every page of the report onto a printer or a PDF writer, and each text not painted
// before in its font onto `alsoOn` when given (a device learning which glyphs are drawn).
// False when stopped. Throws ReportError (OutputError) when the device cannot be painted on or
// finished.
bool paintReport(Report& report, QPagedPaintDevice& device, const Progress& progress,
                 QPaintDevice* alsoOn = nullptr);

// Writes the report as a PDF file, put in the place of what `path` held only once whole and
// flushed. False when stopped; throws ReportError (OutputError) saying why it could not be
// written. Either way the file at `path` is then as it was.
bool writePdf(Report& report, const QString& path, const Progress& progress);

}  // namespace reports
