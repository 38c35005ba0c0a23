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

// A text typed or imported as it is kept: no white space at either end (a blank typed at the
// end would make a second name that looks like the first), cut to `width` characters.
QString keptText(const QString& typed, qsizetype width);

// A name that holds right-to-left letters set apart from the text around it (a left-to-right
// mark, then the name between U+2068 and U+2069), so that it neither turns its line to the
// right nor moves the commas beside it.
// Other names are given back as they are.
QString isolated(const QString& name);

}  // namespace app
