#include "app/text/Characters.h"

#include <QList>
#include <QTextBoundaryFinder>

namespace app {

qsizetype characterCount(const QString& text) {
    return text.toStdU32String().size();
}

QString leftCharacters(const QString& text, qsizetype count) {
    qsizetype end = 0;
    for (qsizetype taken = 0; taken < count && end < text.size(); ++taken) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    if (end >= text.size()) {
        return text;
    }
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    graphemes.setPosition(end);
    if (!graphemes.isAtBoundary()) {
        end = std::max<qsizetype>(graphemes.toPreviousBoundary(), 0);
    }
    return text.left(end);
}

QString keptText(const QString& typed, qsizetype width) {
    return leftCharacters(typed.trimmed(), width).trimmed();  // a cut may end at a blank
}

QString isolated(const QString& name) {
    for (const char32_t character : name.toUcs4()) {
        switch (QChar::direction(character)) {
            case QChar::DirR:
            case QChar::DirAL:
            case QChar::DirRLE:
            case QChar::DirRLO:
            case QChar::DirRLI:
                // The mark before it keeps a line that begins with it left to right.
                return QString(QChar(0x200E)) + QChar(0x2068) + name + QChar(0x2069);
            default:
                break;
        }
    }
    return name;
}

}  // namespace app
