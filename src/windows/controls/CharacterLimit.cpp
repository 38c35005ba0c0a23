#include "windows/controls/CharacterLimit.h"

#include "app/text/Characters.h"

namespace windows {

CharacterLimit::CharacterLimit(qsizetype characters, QObject* parent)
    : QValidator(parent), characters_(characters) {}

QValidator::State CharacterLimit::validate(QString& input, int& position) const {
    const qsizetype excess = app::characterCount(input) - characters_;
    if (excess <= 0) {
        return Acceptable;
    }
    // What was typed or pasted ends at the cursor: leave out its end, keep what follows.
    const QString before = input.left(position);
    const QString after = input.mid(position);
    const QString kept =
        app::leftCharacters(before, std::max<qsizetype>(app::characterCount(before) - excess, 0));
    input = app::leftCharacters(kept + after, characters_);
    position = static_cast<int>(std::min(kept.size(), input.size()));
    return Acceptable;
}

}  // namespace windows
