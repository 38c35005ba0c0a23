#pragma once

#include <QPageLayout>
#include <QString>
#include <vector>

namespace reports {

// A report layout as read from its file (the format is described in data/README.md).
struct Layout {
    struct Column {
        QString field;  // Artist, Title, Category or Format
        double share;   // of the printable width, 0 to 1
    };

    QString name;  // what the report is called on the screen and in file names
    bool grouped = false;
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{48, 42, 48, 42};  // points
    double titleSize = 15;
    double headingSize = 11;
    double bodySize = 9;
    std::vector<Column> columns;
    QString group = "Artist";
    QString continued = "(continued)";
    QString groupFooter = "{count} records";
    QString footerLeft, footerRight;
    QString closing;
};

// Reads a layout file. Throws ReportError: FileNotFound when the file is not there,
// BadLayout (naming the file and the line) when a line cannot be read.
Layout readLayout(const QString& path);

}  // namespace reports
