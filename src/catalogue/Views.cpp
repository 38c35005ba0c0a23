#include "catalogue/Views.h"

namespace db {

std::string recordColumnList(std::string_view prefix) {
    std::string list;
    for (std::string_view column : RecordColumns) {
        list += (list.empty() ? "" : ", ") + std::string(prefix) + std::string(column);
    }
    return list;
}

const std::array<View, 4>& views() {
    static const std::array<View, 4> all = {{
        {"Artist", "ARTIST", "View by Artist", "ArtistOrder", {"Artist", "Title", ""}},
        {"Title", "TITLE", "View by Title", "TitleOrder", {"Title", "Artist", ""}},
        {"Category", "CATEGORY", "View by Category", "CategoryOrder", {"Category", "Title", ""}},
        {"Format", "FORMAT", "View by Format", "FormatOrder", {"Format", "Artist", "Title"}},
    }};
    return all;
}

namespace {

template <typename Term>
std::string joined(const View& view, Term term) {
    std::string clause;
    for (std::string_view text : view.texts) {
        if (!text.empty()) {
            clause += (clause.empty() ? "" : ", ") + term(std::string(text));
        }
    }
    return clause;
}

}  // namespace

std::string View::orderBy() const {
    return joined(*this, [](const std::string& text) { return text + "Key"; });
}

std::string View::orderOfRows() const {
    return joined(*this, [](const std::string& text) { return "quorvane_sort_key(" + text + ")"; });
}

namespace {

// The first view whose `field` is `value`, or null.
template <typename Field>
const View* viewWhere(Field field, std::string_view value) {
    for (const View& view : views()) {
        if (field(view) == value) {
            return &view;
        }
    }
    return nullptr;
}

}  // namespace

const View* View::ofTable(std::string_view name) {
    return viewWhere([](const View& view) { return view.table; }, name);
}

const View* findView(std::string_view name) {
    return viewWhere([](const View& view) { return view.name; }, name);
}

const View* findViewByKey(std::string_view key) {
    return viewWhere([](const View& view) { return view.key; }, key);
}

const View* viewOrderedBy(std::string_view text) {
    return viewWhere([](const View& view) { return view.texts[0]; }, text);
}

}  // namespace db
