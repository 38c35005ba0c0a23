#include "windows/lookup/LookupKind.h"

namespace windows {

using db::catalogue::Lookup;

const LookupKind& artistKind() {
    static const LookupKind kind{Lookup::Artist,
                                 "FrmArtist",
                                 "Artist",
                                 "CmbArtist",
                                 "&Artist",
                                 db::catalogue::lookupWidth(Lookup::Artist),
                                 420,
                                 1440,
                                 2235,
                                 "Artist can not be empty!",
                                 "Duplicate Artist, Try another name",
                                 "Select an Artist from the list!",
                                 " The Selected Artist not in Database",
                                 "Delete Current Record.",
                                 "Delete Artist",
                                 " Artist ",
                                 " Artists ",
                                 true,
                                 false,
                                 true,
                                 "Opening Artists Form...",
                                 "Closed Artists Form"};
    return kind;
}

const LookupKind& categoryKind() {
    static const LookupKind kind{Lookup::Category,
                                 "FrmCategory",
                                 "Categories",
                                 "CmbCategory",
                                 "&Category:",
                                 db::catalogue::lookupWidth(Lookup::Category),
                                 360,
                                 1410,
                                 2220,
                                 "Category can not be empty!",
                                 "Duplicate Category, Try another Category.",
                                 "Select a Rating from the list!",
                                 nullptr,
                                 "Delete Current Category.",
                                 "Delete Category",
                                 " Category ",
                                 " Categories ",
                                 false,
                                 true,
                                 false,
                                 "Opening Category Form...",
                                 "Closed Category Form"};
    return kind;
}

const LookupKind& formatKind() {
    static const LookupKind kind{Lookup::Format,
                                 "FrmFormat",
                                 "Format",
                                 "CmbFormat",
                                 "Format:",
                                 db::catalogue::lookupWidth(Lookup::Format),
                                 390,
                                 1425,
                                 2235,
                                 "Format can not be empty!",
                                 "Duplicate Format, Try another Format.",
                                 "Select a Format from the list!",
                                 " The Selected Actor not in Database",
                                 "Delete Current Format.",
                                 "Delete Format",
                                 " Format ",
                                 " Formats ",
                                 false,
                                 true,
                                 false,
                                 "Opening Format Form...",
                                 "Closed Format Form"};
    return kind;
}

}  // namespace windows
