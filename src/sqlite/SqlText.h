#pragma once

#include <string>

namespace db {

// A table or column name from the program's own lists, quoted for SQL.
inline std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// The LIKE pattern (with ESCAPE '\') for "begins with": the value's %, _ and \ match
// themselves.
inline std::string beginsWithPattern(const std::string& value) {
    std::string pattern;
    for (char c : value) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + '%';
}

}  // namespace db
