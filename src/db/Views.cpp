#include "db/Views.h"

namespace db {

const std::array<View, 4>& views() {
    static const std::array<View, 4> all = {{
        {"Artist", "ARTIST", "View by Artist", "ArtistKey, TitleKey"},
        {"Title", "TITLE", "View by Title", "TitleKey, ArtistKey"},
        {"Category", "CATEGORY", "View by Category", "CategoryKey, TitleKey"},
        {"Format", "FORMAT", "View by Format", "FormatKey, ArtistKey, TitleKey"},
    }};
    return all;
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

}  // namespace db
