#pragma once

#include <QString>

namespace app {

// Texts are cut by characters, never by the halves of one: a character outside the basic
// plane (an emoji, say) is two UTF-16 units, and a letter with its combining marks reads
// as one. A cut that would fall inside either leaves the whole character out.

// The number of characters (code points) in a text.
qsizetype characterCount(const QString& text);

// At most the first `count` characters of a text.
QString leftCharacters(const QString& text, qsizetype count);

}  // namespace app
