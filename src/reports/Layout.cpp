#include "reports/Layout.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "reports/ReportError.h"

namespace reports {
namespace {

bool isField(const QString& name) {
    return name == "Artist" || name == "Title" || name == "Category" || name == "Format";
}

double size(const QString& value) {
    bool ok = false;
    const double points = value.toDouble(&ok);
    if (!ok || points < 4 || points > 72) {
        throw std::invalid_argument("a font size from 4 to 72 points is expected");
    }
    return points;
}

void readLine(Layout& layout, const QString& key, const QString& value) {
    if (key == "report") {
        if (value != "full" && value != "grouped") {
            throw std::invalid_argument("report is full or grouped");
        }
        layout.grouped = value == "grouped";
    } else if (key == "page") {
        const QStringList words = value.split(' ', Qt::SkipEmptyParts);
        if (words.size() != 2 || (words[0] != "A4" && words[0] != "Letter") ||
            (words[1] != "portrait" && words[1] != "landscape")) {
            throw std::invalid_argument("page is A4 or Letter, then portrait or landscape");
        }
        layout.pageSize = QPageSize(words[0] == "A4" ? QPageSize::A4 : QPageSize::Letter);
        layout.orientation =
            words[1] == "portrait" ? QPageLayout::Portrait : QPageLayout::Landscape;
    } else if (key == "margins") {
        const QStringList words = value.split(' ', Qt::SkipEmptyParts);
        std::vector<double> points;
        for (const QString& word : words) {
            bool ok = false;
            points.push_back(word.toDouble(&ok));
            if (!ok || points.back() < 0 || points.back() > 200) {
                throw std::invalid_argument("margins are four numbers of points");
            }
        }
        if (points.size() != 4) {
            throw std::invalid_argument("margins are four numbers of points");
        }
        layout.margins = QMarginsF(points[0], points[1], points[2], points[3]);
    } else if (key == "title-size") {
        layout.titleSize = size(value);
    } else if (key == "heading-size") {
        layout.headingSize = size(value);
    } else if (key == "body-size") {
        layout.bodySize = size(value);
    } else if (key == "columns") {
        layout.columns.clear();
        double total = 0;
        for (const QString& part : value.split('|')) {
            const QStringList words = part.split(' ', Qt::SkipEmptyParts);
            bool ok = false;
            const double share = words.size() == 2 ? words[1].toDouble(&ok) : 0;
            if (!ok || !isField(words[0]) || share <= 0) {
                throw std::invalid_argument(
                    "columns are fields with their shares: Artist 30 | Title 40");
            }
            layout.columns.push_back({words[0], share});
            total += share;
        }
        for (auto& column : layout.columns) {
            column.share /= total;
        }
    } else if (key == "group") {
        if (!isField(value)) {
            throw std::invalid_argument("the group is Artist, Title, Category or Format");
        }
        layout.group = value;
    } else if (key == "name") {
        layout.name = value;
    } else if (key == "continued") {
        layout.continued = value;
    } else if (key == "group-footer") {
        layout.groupFooter = value;
    } else if (key == "footer") {
        const QStringList parts = value.split('|');
        layout.footerLeft = parts.value(0).trimmed();
        layout.footerRight = parts.value(1).trimmed();
    } else if (key == "closing") {
        layout.closing = value;
    } else {
        throw std::invalid_argument("there is no setting '" + key.toStdString() + "'");
    }
}

}  // namespace

Layout readLayout(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw ReportError(err::FileNotFound, "Cannot open the report file " + path.toStdString());
    }
    Layout layout;
    layout.name = QFileInfo(path).completeBaseName();  // unless the layout names itself
    bool sawReport = false;
    QTextStream in(&file);
    for (int number = 1; !in.atEnd(); ++number) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const qsizetype blank = line.indexOf(' ');
        const QString key = blank < 0 ? line : line.left(blank);
        const QString value = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
        try {
            readLine(layout, key, value);
        } catch (const std::invalid_argument& why) {
            throw ReportError(err::BadLayout, QFileInfo(path).fileName().toStdString() + ", line " +
                                                  std::to_string(number) + ": " + why.what() + ".");
        }
        sawReport = sawReport || key == "report";
    }
    if (!sawReport || layout.columns.empty()) {
        throw ReportError(err::BadLayout, QFileInfo(path).fileName().toStdString() +
                                              ": a layout needs its report and columns lines.");
    }
    return layout;
}

}  // namespace reports
