#pragma once

#include <optional>
#include <string>
#include <string_view>

// Writes CSV as RFC 4180 has it: comma-separated, CR LF after each record, a field quoted
// when it holds a comma, a quote or a line break (its quotes doubled).
namespace csv {

// Appends one field. Nothing (a Null) is written as an empty field and empty text as "",
// so the two read back apart; a field that begins or ends with a blank is quoted too, as
// some readers trim bare fields.
void appendField(std::string& out, std::optional<std::string_view> text);

// Appends a record's fields with their commas and the record's CR LF.
template <typename Fields>
void appendRecord(std::string& out, const Fields& fields) {
    bool first = true;
    for (const auto& field : fields) {
        if (!first) {
            out += ',';
        }
        first = false;
        appendField(out, field);
    }
    out += "\r\n";
}

}  // namespace csv
