#include "reports/Painting.h"

#include <QFileInfo>
#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <optional>
#include <string_view>

#include "files/ReplacingFile.h"
#include "reports/GlyphText.h"
#include "reports/PdfTextMaps.h"
#include "reports/Report.h"
#include "reports/ReportError.h"

namespace reports {
namespace {

// The PDF writer's output, handed on to a file that takes the target's place only when whole.
// A failed write is kept, to be said once the writer is done with its device. What is written
// after keepFromHere() is kept too: the file's end, with its fonts.
class PdfOutput : public QIODevice {
  public:
    explicit PdfOutput(files::ReplacingFile& file) : file_(file) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    void throwFailure() const {
        if (failure_) {
            throw *failure_;
        }
    }
    void keepFromHere() {
        keeping_ = true;
        keptFrom_ = written_;
    }
    const QByteArray& kept() const { return kept_; }
    qint64 keptFrom() const { return keptFrom_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failure_) {
            return -1;
        }
        try {
            file_.write(std::string_view(data, static_cast<std::size_t>(size)));
            written_ += size;
            if (keeping_) {
                kept_.append(data, size);
            }
            return size;
        } catch (const files::FileError& error) {
            failure_ = error;
            return -1;
        }
    }

  private:
    files::ReplacingFile& file_;
    std::optional<files::FileError> failure_;
    qint64 written_ = 0;
    bool keeping_ = false;
    qint64 keptFrom_ = 0;
    QByteArray kept_;
};

// The runs of a page not shown before, in their font: a device that only learns which glyphs
// are drawn for which characters learns nothing from a run it has seen (a category or a
// format on every line).
Page newRuns(const Page& page, QSet<QString>& seen) {
    Page fresh;
    for (const TextRun& run : page.runs) {
        const QString key = QString::number(run.size) + (run.bold ? u'b' : u'r') + run.text;
        if (!seen.contains(key)) {
            seen.insert(key);
            fresh.runs.push_back(run);
        }
    }
    return fresh;
}

std::string unchangedNote(const std::string& target) {
    return QFileInfo::exists(QString::fromStdString(target))
               ? " The file that was there is unchanged."
               : "";
}

}  // namespace

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

bool paintReport(Report& report, QPagedPaintDevice& device, const Progress& progress,
                 QPaintDevice* alsoOn) {
    device.setPageLayout(report.pageLayout());
    QPainter painter;
    if (!painter.begin(&device)) {
        throw ReportError(err::OutputError, "The report could not be sent to its destination.");
    }
    QPainter shadow;
    if (alsoOn != nullptr) {
        shadow.begin(alsoOn);
    }
    const double dotsPerPoint = device.logicalDpiY() / 72.0;
    QSet<QString> shownAlso;
    for (int index = 0; index < report.pageCount(); ++index) {
        if (index > 0 && !device.newPage()) {
            throw ReportError(err::OutputError, "A page could not be started.");
        }
        const Page page = report.page(index);
        paintPage(painter, page, dotsPerPoint);
        if (shadow.isActive()) {
            paintPage(shadow, newRuns(page, shownAlso), dotsPerPoint);
        }
        if (progress && !progress(index + 1)) {
            painter.end();
            return false;
        }
    }
    if (!painter.end()) {
        throw ReportError(err::OutputError, "The report could not be finished.");
    }
    return true;
}

bool writePdf(Report& report, const QString& path, const Progress& progress) {
    const std::string target = path.toStdString();
    try {
        files::ReplacingFile file(target);
        PdfOutput output(file);
        bool done = false;
        try {
            QPdfWriter pdf(&output);
            pdf.setCreator("Quorvane");
            pdf.setTitle(report.name());
            pdf.setResolution(600);
            GlyphTextRecorder glyphText(pdf);
            done = paintReport(
                report, pdf,
                [&](int page) {
                    if (page == report.pageCount()) {
                        output.keepFromHere();  // the fonts are written next
                    }
                    return !progress || progress(page);
                },
                &glyphText);
            if (done) {
                // The writer's text maps miss what lies beyond U+FFFF and read shaped and
                // shared glyphs as other characters; these maps say what was drawn.
                const QByteArray maps =
                    textMapUpdate(output.kept(), output.keptFrom(), glyphText.faces());
                file.write(
                    std::string_view(maps.constData(), static_cast<std::size_t>(maps.size())));
            }
        } catch (const ReportError&) {
            output.throwFailure();  // the file's own failure says more than the painter's
            throw;
        }
        output.throwFailure();
        return done && file.commit();  // a stopped run leaves the target as it was
    } catch (const files::FileError& error) {
        throw ReportError(err::OutputError, std::string("The report could not be saved. ") +
                                                error.what() + unchangedNote(target));
    }
}

}  // namespace reports
