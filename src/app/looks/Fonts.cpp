#include "app/looks/Fonts.h"

#include <QStringList>
#include <QWidget>

namespace app {

void installFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans", "Sans Serif"});
    QFont::insertSubstitutions("Times New Roman", {"Liberation Serif", "DejaVu Serif", "Serif"});
    QFont::insertSubstitutions("Verdana", {"DejaVu Sans", "Liberation Sans", "Sans Serif"});
}

QFont windowFont() {
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    // Shaped, as every script needs (Arabic letters join only when shaped).
    return font;
}

bool needsShaping(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool simple = u < 0x0590 || (u >= 0x1E00 && u < 0x2C00) ||  // Latin, Greek...
                            (u >= 0x3000 && u < 0xA000) ||                // CJK, kana
                            (u >= 0xAC00 && u < 0xD7B0) ||                // Hangul syllables
                            (u >= 0xF900 && u < 0xFB00) || (u >= 0xFF00 && u < 0xFFF0);
        if (!simple || c.isMark()) {
            return true;
        }
    }
    return false;
}

void shapeAsNeeded(QWidget* box, const QString& text) {
    const auto wanted = needsShaping(text) ? QFont::PreferDefault : QFont::PreferNoShaping;
    if (box->font().styleStrategy() != wanted) {
        QFont font = box->font();
        font.setStyleStrategy(wanted);
        box->setFont(font);
    }
}

QFont statusFont() {
    QFont font("Times New Roman");
    font.setPointSize(10);
    return font;
}

QFont titleFont(int pointSize) {
    QFont font("Verdana");
    font.setPointSize(pointSize);
    font.setBold(true);
    return font;
}

}  // namespace app
