#include "app/Fonts.h"

#include <QStringList>

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
