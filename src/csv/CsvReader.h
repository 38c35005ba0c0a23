#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated text as spreadsheets write it: fields split by one delimiter, records by
// line breaks (LF, CR LF or CR); a field in double quotes may hold the delimiter, line
// breaks and quotes (written doubled).
namespace csv {

// The text cannot be read as CSV; `line` is the 1-based line the fault is on.
class Malformed : public std::runtime_error {
  public:
    Malformed(std::size_t line, const std::string& what) : std::runtime_error(what), line(line) {}
    std::size_t line;
};

struct Field {
    std::string text;
    bool quoted = false;  // an empty quoted field is empty text; an empty bare one is nothing
};

// The text after a UTF-8 byte order mark, if it begins with one.
std::string_view withoutByteOrderMark(std::string_view data);

// Refuses what is not UTF-8 text: a zero byte (a binary file) or a byte sequence that is
// not UTF-8 (another encoding). Names the line of the first fault.
void requireUtf8Text(std::string_view data);

class Reader {
  public:
    Reader(std::string_view data, char delimiter) : data_(data), delimiter_(delimiter) {}

    // Reads the next record into `fields` (reusing their storage); false after the last.
    // A quoted field never closed, or text straight after a closing quote, is Malformed.
    bool next(std::vector<Field>& fields);
    // The line the record last read begins on.
    std::size_t recordLine() const { return recordLine_; }
    // How far the reading has got, in bytes.
    std::size_t offset() const { return pos_; }

  private:
    void readQuoted(Field& field);
    void readBare(Field& field);
    // Steps over the line break at the reading position, if there is one.
    bool skipLineBreak();

    std::string_view data_;
    char delimiter_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t recordLine_ = 0;
};

}  // namespace csv
