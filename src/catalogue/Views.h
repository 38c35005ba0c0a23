#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace db {

// A record's four texts, as Main's columns are named, in this order everywhere.
inline constexpr std::array<std::string_view, 4> RecordColumns = {"Artist", "Title", "Category",
                                                                  "Format"};
// A record's four texts in that order; nothing for a Null.
using RecordTexts = std::array<std::optional<std::string>, 4>;
// "Artist, Title, Category, Format", for a statement.
std::string recordColumnList(std::string_view prefix = {});

// One of the four orders the main recordset presents the catalogue in. Each is kept in a
// table of its own beside Main (see data/orders.sql): the sort keys of its texts and the
// record's row id, its primary key the order itself.
struct View {
    std::string_view name;                  // "Artist": kept in the recordset's index name
    std::string_view key;                   // "ARTIST": upper-case key the menus are marked by
    std::string_view label;                 // "View by Artist": the status-bar text
    std::string_view table;                 // "ArtistOrder": the order's table
    std::array<std::string_view, 3> texts;  // the texts it orders by, first to last ("" ends)

    // "ArtistKey, TitleKey": the order's key columns, as an ordering clause.
    std::string orderBy() const;
    // The same order over Main's own rows, keys made as they are read: for a few rows.
    std::string orderOfRows() const;
    // The view kept in the table `name`, or null.
    static const View* ofTable(std::string_view name);
};

const std::array<View, 4>& views();
// The view with exactly this name (case matters), or null.
const View* findView(std::string_view name);
// The view with this upper-case key, or null.
const View* findViewByKey(std::string_view key);
// The view ordered first by `text` ("Artist", "Title", "Category", "Format"), or null: its
// table holds that text's keys in order.
const View* viewOrderedBy(std::string_view text);

}  // namespace db
