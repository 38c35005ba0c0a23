#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "csv/CsvReader.h"

// The encoding a text file is in, and its text read in it as UTF-8. Spreadsheet programs
// write "CSV" in the system's legacy encoding (Windows-1252 on most Western systems), some in
// UTF-16; the user is told which one was read and may choose another.
namespace csv {

// The encoding the bytes are in, by its name as the user reads it ("UTF-8", "UTF-16",
// "Windows-1252", "Shift_JIS"): a byte order mark's, else UTF-16 or UTF-32 by the zero bytes
// between Latin letters, else UTF-8 when the bytes are UTF-8, else what ICU's charset
// detection proposes for the lines that hold other bytes than ASCII (Windows-1252 for
// ISO-8859-1, whose extra letters it shares, and when the detection cannot tell); with the
// detection's other proposals, a few lines being little to go by.
struct EncodingGuess {
    std::string encoding;
    std::vector<std::string> others;
};
EncodingGuess detectEncoding(std::string_view bytes);

// The encodings offered: UTF-8, UTF-16, Windows-1252, ISO-8859-1, ISO-8859-15 and the
// locale's, then the guess's and its other proposals that are none of them.
std::vector<std::string> encodingChoices(const EncodingGuess& guess);

// Bytes that `readAsUtf8` found no character of the encoding for (another encoding may read
// them).
class NotInEncoding : public Malformed {
  public:
    using Malformed::Malformed;
};

// The bytes read in `encoding`, as UTF-8 without a byte order mark. Malformed (naming the
// line) when they are not text in it: a byte no character of it has (NotInEncoding), or a
// zero byte or (in an
// encoding other than UTF-8) another control character than a tab or a line's end, as binary
// files hold.
std::string readAsUtf8(std::string_view bytes, const std::string& encoding);

}  // namespace csv
