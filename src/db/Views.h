#pragma once

#include <array>
#include <string>
#include <string_view>

namespace db {

// One of the four orders the main recordset presents the catalogue in.
struct View {
    std::string_view name;     // "Artist": kept in the recordset's index name
    std::string_view key;      // "ARTIST": upper-case key the menus are marked by
    std::string_view label;    // "View by Artist": the status-bar text
    std::string_view orderBy;  // ordering of table Main by sort keys; each has its own index
};

const std::array<View, 4>& views();
// The view with exactly this name (case matters), or null.
const View* findView(std::string_view name);
// The view with this upper-case key, or null.
const View* findViewByKey(std::string_view key);

}  // namespace db
