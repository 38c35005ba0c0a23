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

const View* View::ofTable(std::string_view name) {
    for (const View& view : views()) {
        if (view.table == name) {
            return &view;
        }
    }
    return nullptr;
}

const View* findView(std::string_view name) {
    for (const View& view : views()) {
        if (view.name == name) {
            return &view;
        }
    }
    return nullptr;
}

const View* findViewByKey(std::string_view key) {
    for (const View& view : views()) {
        if (view.key == key) {
            return &view;
        }
    }
    return nullptr;
}

const View* viewOrderedBy(std::string_view text) {
    for (const View& view : views()) {
        if (view.texts[0] == text) {
            return &view;
        }
    }
    return nullptr;
}

}  // namespace db
