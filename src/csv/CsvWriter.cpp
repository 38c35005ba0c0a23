#include "csv/CsvWriter.h"

namespace csv {

void appendField(std::string& out, std::optional<std::string_view> text) {
    if (!text) {
        return;
    }
    const bool quote = text->empty() || text->find_first_of(",\"\r\n") != std::string_view::npos ||
                       text->front() == ' ' || text->back() == ' ';
    if (!quote) {
        out += *text;
        return;
    }
    out += '"';
    for (const char c : *text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

}  // namespace csv
