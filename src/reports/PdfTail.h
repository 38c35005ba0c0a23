#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <map>
#include <optional>
#include <vector>

// Reading the end of a PDF as a QPdfWriter writes it: one cross-reference section, the trailer
// and, before them, the objects written last. Enough to find objects by number and read
// their dictionaries and streams; not a reader of PDF files at large.
namespace reports::pdf {

// From a dictionary's text: a number given in place (not "/Length 38 0 R"), the object a key
// refers to ("/Key 12 0 R" or "/Key [12 0 R]") and a name ("/Key /Name" gives "Name").
std::optional<qint64> numberOf(QByteArrayView dictionary, QByteArrayView key);
std::optional<qint64> referenceOf(QByteArrayView dictionary, QByteArrayView key);
QByteArray nameOf(QByteArrayView dictionary, QByteArrayView key);

class PdfTail {
  public:
    // `bytes` are the file from byte `start` to its end.
    PdfTail(QByteArrayView bytes, qint64 start);

    bool valid() const { return xrefAt_ >= 0; }
    qint64 xrefAt() const { return xrefAt_; }
    QByteArrayView trailer() const { return trailer_; }

    // The objects that begin in the tail, in the order of their numbers.
    std::vector<qint64> objects() const;
    // An object's dictionary, "<<" to ">>"; empty when it is not in the tail as written.
    QByteArrayView dictionary(qint64 object) const;
    // A stream's bytes, its length given in place in its dictionary.
    std::optional<QByteArrayView> stream(qint64 object) const;

  private:
    bool readXref(qint64 xref);
    std::optional<qsizetype> dictionaryStart(qint64 object) const;

    QByteArrayView bytes_;
    qint64 start_;
    qint64 xrefAt_ = -1;
    std::map<qint64, qint64> offsets_;  // object → where it begins in the file
    QByteArrayView trailer_;
};

}  // namespace reports::pdf
