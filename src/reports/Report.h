#pragma once

#include <QDate>
#include <QFont>
#include <QLineF>
#include <QPageLayout>
#include <QRectF>
#include <array>
#include <memory>
#include <vector>

#include "catalogue/Catalogue.h"
#include "reports/Layout.h"

namespace reports {

// The settings the program gives the report engine; the engine keeps each one until it is
// set again.
struct ReportSettings {
    int destination = 0;                // 0 a window on the screen, 1 the printer
    QString reportFile;                 // the layout file
    std::array<QString, 3> sortFields;  // "+{Main.Artist}": + ascending, - descending
    std::array<QString, 1> formulas;    // "TxtTitle = 'View by Artist'"
    QString selectionFormula;           // in the notation of reports/Formula.h
    int printFileType = 0;              // accepted and not used
};

// One piece of text on a page, in points from the page's top left corner.
struct TextRun {
    QRectF box;
    QString text;
    double size;
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft;
};

struct Page {
    std::vector<TextRun> runs;
    std::vector<QLineF> rules;
};

// A report ready to be shown, printed or written: its pages are laid out when asked for,
// so the first page of a million records is there at once. A page is data: the texts with
// their places; painting is apart (reports/Painting.h).
class Report {
  public:
    virtual ~Report() = default;
    virtual int pageCount() const = 0;
    virtual Page page(int index) = 0;
    virtual std::int64_t recordCount() const = 0;
    virtual QPageLayout pageLayout() const = 0;
    virtual QString name() const = 0;  // the layout's
};

// Reads the layout and the catalogue for a run. Throws ReportError: the layout file missing
// (FileNotFound) or unreadable (BadLayout), a formula or sort field it cannot read
// (FormulaError), the catalogue failing (DatabaseError).
std::unique_ptr<Report> makeReport(db::Connection& connection, const ReportSettings& settings,
                                   const QDate& today);

// The font of the report's texts at a size in points.
QFont reportFont(double size, bool bold = false);

}  // namespace reports
