// The text maps appended to a PDF: made only for the file whose fonts were recorded.
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>
#include <functional>

#include "reports/GlyphText.h"
#include "reports/PdfTextMaps.h"
#include "reports/Report.h"

using reports::FaceText;

class TestPdfText : public QObject {
    Q_OBJECT

  private slots:
    // Any difference between the fonts in the file and the faces recorded leaves the file's
    // own maps; a map for the wrong glyphs would make its text read as other characters.
    void anUpdateIsMadeOnlyForTheFontsRecorded() {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(600);
        reports::GlyphTextRecorder recorder(pdf);
        for (QPaintDevice* device :
             {static_cast<QPaintDevice*>(&pdf), static_cast<QPaintDevice*>(&recorder)}) {
            QPainter painter(device);
            painter.setFont(reports::reportFont(10));
            painter.drawText(QPointF(100, 200),
                             QStringLiteral("Office ❤️ 音 一 𠀋 فيروز"));
            painter.drawText(QPointF(100, 400), QStringLiteral("Officer 🎵"));
        }
        const std::vector<FaceText> faces = recorder.faces();
        QVERIFY2(faces.size() >= 3, "Latin, emoji, CJK and Arabic come from several faces");

        const QByteArray update = reports::textMapUpdate(bytes, 0, faces);
        QCOMPARE(update.count(" 0 obj\n"), static_cast<qsizetype>(faces.size()));
        QVERIFY(update.contains("/Prev " + bytes.mid(bytes.lastIndexOf("startxref") + 10)
                                               .trimmed()
                                               .split('\n')
                                               .first()
                                               .trimmed()));
        QVERIFY(update.contains("<D840DC0B>"));  // U+2000B as UTF-16
        // The fonts are written last: a tail from the first font's first object is enough.
        const qsizetype fonts =
            bytes.lastIndexOf('\n', bytes.indexOf("<< /Type /FontDescriptor") - 2) + 1;
        QCOMPARE(reports::textMapUpdate(bytes.mid(fonts), fonts, faces), update);
        // From any other byte on, the same update or none; a file cut short, none. Nothing is
        // read past the bytes given.
        for (qsizetype start = 0; start < bytes.size(); start += 7) {
            const QByteArray made = reports::textMapUpdate(bytes.mid(start), start, faces);
            QVERIFY2(made.isEmpty() || made == update, qPrintable(QString::number(start)));
            QVERIFY(reports::textMapUpdate(bytes.left(start), 0, faces).isEmpty());
        }

        using Change = std::function<void(std::vector<FaceText>&, QByteArray&, qint64&)>;
        const std::vector<std::pair<const char*, Change>> changes{
            {"a name", [](auto& f, auto&, auto&) { f[0].postscriptName += "X"; }},
            {"a glyph more", [](auto& f, auto&, auto&) { f[1].glyphs.push_back(9999); }},
            {"a face less", [](auto& f, auto&, auto&) { f.pop_back(); }},
            {"two faces swapped", [](auto& f, auto&, auto&) { std::swap(f[0], f[1]); }},
            {"no trailer", [](auto&, auto& b, auto&) { b.chop(b.size() - b.lastIndexOf("xref")); }},
            {"a tail placed wrong", [](auto&, auto& b, auto& s) { b.remove(0, 10), s = 0; }},
            {"the fonts left out",
             [](auto&, auto& b, auto& s) { b = b.mid(b.size() - 600), s = 0; }},
        };
        for (const auto& [what, change] : changes) {
            std::vector<FaceText> changedFaces = faces;
            QByteArray changedBytes = bytes;
            qint64 start = 0;
            change(changedFaces, changedBytes, start);
            QVERIFY2(reports::textMapUpdate(changedBytes, start, changedFaces).isEmpty(), what);
        }
    }
};

QTEST_MAIN(TestPdfText)
#include "tst_pdf_text.moc"
