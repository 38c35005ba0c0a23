#pragma once

#include <string>

namespace db {

// A table or column name from the program's own lists, quoted for SQL.
inline std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace db
