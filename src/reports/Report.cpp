#include "reports/Report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "catalogue/Orders.h"
#include "reports/ReportError.h"
#include "reports/ReportQuery.h"
#include "sqlite/DbError.h"

namespace reports {
namespace {

// Texts are measured on a 72-dots-per-inch image: one dot is one point, the unit of pages.
const QImage& pointDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = static_cast<int>(std::lround(72 / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

QFontMetricsF metrics(const QFont& font) {
    return QFontMetricsF(font, &pointDevice());
}

constexpr double ColumnGap = 6;  // points between a cell's text and the next column

// What a page of a report holds, in lines of the body: group headings, runs of records,
// group footers and the closing line. Made from the group sizes alone, before any record
// is read.
struct Block {
    enum Kind { Heading, Records, Footer, Closing } kind;
    std::size_t group = 0;
    std::int64_t first = 0;  // the first record's place in the report's order
    std::int64_t count = 0;
    bool continued = false;
    bool gapBefore = false;
};

class LaidOutReport : public Report {
  public:
    LaidOutReport(Layout layout, ReportData data, const QDate& today)
        : layout_(std::move(layout)), data_(std::move(data)), today_(today) {}

    void plan(db::Connection& connection);
    int pageCount() const override { return static_cast<int>(plan_.size()); }
    Page page(int index) override;
    std::int64_t recordCount() const override {
        return static_cast<std::int64_t>(data_.rowIds.size());
    }
    QPageLayout pageLayout() const override {
        return QPageLayout(layout_.pageSize, layout_.orientation, QMarginsF());
    }
    QString name() const override { return layout_.name; }

  private:
    void planFull();
    void startPageRead(std::optional<db::ReadTransaction>& read);
    std::optional<db::RecordTexts> readRecord(std::int64_t place);
    void planGrouped();
    void addHeader(Page& page) const;
    void addFooter(Page& page, int index) const;
    void addLine(Page& page, double y, const std::vector<QString>& cells);
    void addBoldLine(Page& page, double y, const QString& text, double indent = 0) const;
    QString fill(QString text, std::int64_t count, const QString& group = {}) const;

    Layout layout_;
    ReportData data_;
    QDate today_;
    std::unique_ptr<db::catalogue::RecordReader> reader_;
    db::Connection* connection_ = nullptr;
    std::uint64_t generation_ = 0;  // the row ids' generation the report was made in
    std::int64_t seenVersion_ = -1;
    std::vector<std::vector<Block>> plan_;
    std::vector<std::int64_t> groupFirst_;  // each group's first record in the order
    QRectF content_;
    double lineHeight_ = 0;
    double bodyTop_ = 0;
    std::int64_t linesPerPage_ = 0;
    std::vector<std::pair<double, double>> columns_;  // left edge and width of each column
    std::optional<QFontMetricsF> body_, bold_;
    std::vector<QHash<QString, QString>> cuts_;  // each column's cut texts
};

void LaidOutReport::plan(db::Connection& connection) {
    reader_ = std::make_unique<db::catalogue::RecordReader>(connection);
    connection_ = &connection;
    generation_ = connection.rowIdGeneration();
    seenVersion_ = connection.dataVersion();
    body_.emplace(metrics(reportFont(layout_.bodySize)));
    bold_.emplace(metrics(reportFont(layout_.bodySize, true)));
    const QSizeF size = layout_.pageSize.size(QPageSize::Point);
    const QSizeF paper = layout_.orientation == QPageLayout::Portrait ? size : size.transposed();
    content_ = QRectF(QPointF(0, 0), paper).marginsRemoved(layout_.margins);
    lineHeight_ = std::ceil(metrics(reportFont(layout_.bodySize)).height() * 1.3);
    bodyTop_ = content_.top() + metrics(reportFont(layout_.titleSize, true)).height() +
               metrics(reportFont(layout_.headingSize)).height() + 6 + lineHeight_ + 4;
    const double footer =
        layout_.footerLeft.isEmpty() && layout_.footerRight.isEmpty() ? 0 : lineHeight_ + 6;
    linesPerPage_ =
        static_cast<std::int64_t>((content_.bottom() - footer - bodyTop_) / lineHeight_);
    if (linesPerPage_ < 4) {
        throw ReportError(err::BadLayout, "The page is too small for its margins and fonts.");
    }
    double left = content_.left();
    for (const Layout::Column& column : layout_.columns) {
        const double width = column.share * content_.width();
        columns_.emplace_back(left, width - ColumnGap);
        left += width;
    }
    cuts_.resize(columns_.size());
    layout_.grouped ? planGrouped() : planFull();
}

// One record a line; the closing line after the last.
void LaidOutReport::planFull() {
    const std::int64_t records = recordCount();
    const std::int64_t lines = records + (layout_.closing.isEmpty() ? 0 : 1);
    const std::int64_t pages =
        std::max<std::int64_t>(1, (lines + linesPerPage_ - 1) / linesPerPage_);
    for (std::int64_t p = 0; p < pages; ++p) {
        std::vector<Block> blocks;
        const std::int64_t first = p * linesPerPage_;
        const std::int64_t count = std::clamp<std::int64_t>(records - first, 0, linesPerPage_);
        if (count > 0) {
            blocks.push_back({Block::Records, 0, first, count});
        }
        if (!layout_.closing.isEmpty() && first + count == records && count < linesPerPage_) {
            blocks.push_back({Block::Closing});
        }
        plan_.push_back(std::move(blocks));
    }
}

// Each group: its heading kept with its first line, its records, its footer; a group that
// runs onto the next page starts it again with its heading marked as continued.
void LaidOutReport::planGrouped() {
    std::int64_t total = 0;
    for (const auto& group : data_.groups) {
        groupFirst_.push_back(total);
        total += group.count;
    }
    if (total != recordCount()) {
        throw ReportError(err::DatabaseError,
                          "The catalogue changed while the report was read. Run it again.");
    }
    plan_.emplace_back();
    std::int64_t used = 0;
    auto newPage = [&] {
        plan_.emplace_back();
        used = 0;
    };
    auto place = [&](Block block, std::int64_t lines) {
        plan_.back().push_back(block);
        used += lines;
    };
    for (std::size_t g = 0; g < data_.groups.size(); ++g) {
        const std::int64_t records = data_.groups[g].count;
        bool gap = used > 0;
        // The heading with the group's first line, and with its count too when the group
        // is one line.
        const std::int64_t keptWith = std::min<std::int64_t>(records, 1) + (records == 1 ? 1 : 0);
        if (used + (gap ? 1 : 0) + 1 + keptWith > linesPerPage_) {
            newPage();
            gap = false;
        }
        place({Block::Heading, g, 0, 0, false, gap}, gap ? 2 : 1);
        for (std::int64_t done = 0; done < records;) {
            if (used >= linesPerPage_) {
                newPage();
                place({Block::Heading, g, 0, 0, true}, 1);
            }
            std::int64_t take = std::min(records - done, linesPerPage_ - used);
            // A group's last line and its count stay together: when the count would not fit
            // under the last line, the page ends before that line, which goes over with it.
            const bool countGoesOver =
                done + take == records && used + take == linesPerPage_ && take > 1;
            take -= countGoesOver ? 1 : 0;
            place({Block::Records, g, groupFirst_[g] + done, take}, take);
            done += take;
            used = countGoesOver ? linesPerPage_ : used;
        }
        if (used >= linesPerPage_) {
            newPage();
            place({Block::Heading, g, 0, 0, true}, 1);
        }
        place({Block::Footer, g}, 1);
    }
    if (!layout_.closing.isEmpty()) {
        const bool gap = used > 0;
        if (used + (gap ? 1 : 0) + 1 > linesPerPage_) {
            newPage();
        }
        place({Block::Closing, 0, 0, 0, false, used > 0}, 1);
    }
}

// A page's records are read in one read of the file (a read a record locks and unlocks it for
// each), by the row ids the report was made with: once another program has renumbered them
// (a compaction by another tool), those are other records.
void LaidOutReport::startPageRead(std::optional<db::ReadTransaction>& read) {
    try {
        if (!connection_->inTransaction()) {
            read.emplace(*connection_);
        }
        if (db::catalogue::renumberedSince(*connection_, generation_, seenVersion_)) {
            throw ReportError(err::DatabaseError,
                              "Another program renumbered the records in the catalogue file "
                              "since the report was made. Make the report again.");
        }
    } catch (const db::DbError& error) {
        throw ReportError(err::DatabaseError, error.description);
    }
}

std::optional<db::RecordTexts> LaidOutReport::readRecord(std::int64_t place) {
    try {
        return reader_->read(data_.rowIds[static_cast<std::size_t>(place)]);
    } catch (const db::DbError& error) {
        throw ReportError(err::DatabaseError, error.description);
    }
}

Page LaidOutReport::page(int index) {
    std::optional<db::ReadTransaction> read;
    startPageRead(read);
    Page page;
    addHeader(page);
    double y = bodyTop_;
    for (const Block& block : plan_[static_cast<std::size_t>(index)]) {
        if (block.gapBefore) {
            y += lineHeight_;
        }
        switch (block.kind) {
            case Block::Heading: {
                QString heading = data_.groups[block.group].value;
                if (block.continued) {
                    heading += " " + layout_.continued;
                }
                addBoldLine(page, y, heading);
                y += lineHeight_;
                break;
            }
            case Block::Records:
                for (std::int64_t i = 0; i < block.count; ++i, y += lineHeight_) {
                    const auto texts = readRecord(block.first + i);
                    std::vector<QString> cells;
                    for (const Layout::Column& column : layout_.columns) {
                        const int at = column.field == "Artist"     ? 0
                                       : column.field == "Title"    ? 1
                                       : column.field == "Category" ? 2
                                                                    : 3;
                        const auto& text =
                            texts ? (*texts)[static_cast<std::size_t>(at)] : std::nullopt;
                        cells.push_back(text ? QString::fromStdString(*text) : QString());
                    }
                    addLine(page, y, cells);
                }
                break;
            case Block::Footer: {
                const auto& group = data_.groups[block.group];
                addBoldLine(page, y, fill(layout_.groupFooter, group.count, group.value),
                            columns_.front().first + 12 - content_.left());
                y += lineHeight_;
                break;
            }
            case Block::Closing:
                addBoldLine(page, y, fill(layout_.closing, recordCount()));
                y += lineHeight_;
                break;
        }
    }
    addFooter(page, index);
    return page;
}

void LaidOutReport::addHeader(Page& page) const {
    double y = content_.top();
    const double titleHeight = metrics(reportFont(layout_.titleSize, true)).height();
    page.runs.push_back({QRectF(content_.left(), y, content_.width(), titleHeight), data_.title,
                         layout_.titleSize, true, Qt::AlignHCenter});
    y += titleHeight;
    const double headingHeight = metrics(reportFont(layout_.headingSize)).height();
    page.runs.push_back({QRectF(content_.left(), y, content_.width(), headingHeight), data_.heading,
                         layout_.headingSize, false, Qt::AlignHCenter});
    y += headingHeight + 6;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        page.runs.push_back({QRectF(columns_[i].first, y, columns_[i].second, lineHeight_),
                             layout_.columns[i].field, layout_.bodySize, true});
    }
    const double rule = y + lineHeight_ + 1;
    page.rules.emplace_back(content_.left(), rule, content_.right(), rule);
}

void LaidOutReport::addFooter(Page& page, int index) const {
    if (layout_.footerLeft.isEmpty() && layout_.footerRight.isEmpty()) {
        return;
    }
    const double y = content_.bottom() - lineHeight_;
    page.rules.emplace_back(content_.left(), y - 3, content_.right(), y - 3);
    auto footer = [&](const QString& text, Qt::Alignment align) {
        QString filled = text;
        filled.replace("{date}", QLocale().toString(today_, QLocale::LongFormat))
            .replace("{page}", QString::number(index + 1))
            .replace("{pages}", QString::number(pageCount()));
        page.runs.push_back({QRectF(content_.left(), y, content_.width(), lineHeight_),
                             fill(filled, recordCount()), layout_.bodySize, false, align});
    };
    footer(layout_.footerLeft, Qt::AlignLeft);
    footer(layout_.footerRight, Qt::AlignRight);
}

// One line of cells, each cut to its column with an ellipsis so it never reaches the next.
// Artists, categories and formats repeat from line to line: each column remembers the cuts
// it made.
void LaidOutReport::addLine(Page& page, double y, const std::vector<QString>& cells) {
    constexpr qsizetype Remembered = 4096;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto [left, width] = columns_[i];
        QHash<QString, QString>& cuts = cuts_[i];
        auto cut = cuts.constFind(cells[i]);
        if (cut == cuts.constEnd()) {
            if (cuts.size() >= Remembered) {
                cuts.clear();
            }
            cut = cuts.insert(cells[i], body_->elidedText(cells[i], Qt::ElideRight, width));
        }
        page.runs.push_back({QRectF(left, y, width, lineHeight_), *cut, layout_.bodySize});
    }
}

void LaidOutReport::addBoldLine(Page& page, double y, const QString& text, double indent) const {
    const QRectF box(content_.left() + indent, y, content_.width() - indent, lineHeight_);
    page.runs.push_back(
        {box, bold_->elidedText(text, Qt::ElideRight, box.width()), layout_.bodySize, true});
}

QString LaidOutReport::fill(QString text, std::int64_t count, const QString& group) const {
    if (count == 1) {
        text.replace("{count} records", "1 record");
    }
    return text.replace("{count}", QString::number(count)).replace("{group}", group);
}

}  // namespace

// An emoji is drawn from an outline font: the colour emoji font's pictures reach neither the
// printer nor a PDF as text, so a preview shows what they will get.
QFont reportFont(double size, bool bold) {
    QFont font;
    font.setFamilies({"Liberation Sans", "Symbola"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
}

std::unique_ptr<Report> makeReport(db::Connection& connection, const ReportSettings& settings,
                                   const QDate& today) {
    Layout layout = readLayout(settings.reportFile);
    ReportData data = readReportData(connection, settings, layout);
    auto report = std::make_unique<LaidOutReport>(std::move(layout), std::move(data), today);
    report->plan(connection);
    return report;
}

}  // namespace reports
