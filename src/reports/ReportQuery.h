#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "catalogue/Catalogue.h"
#include "reports/Layout.h"
#include "reports/Report.h"

namespace reports {

// What a run reads from the catalogue: the records chosen, in the report's order (by row id:
// their texts are read page by page), the report title, the heading, and for a grouped
// report each group's value and size.
struct ReportData {
    std::vector<std::int64_t> rowIds;
    QString title;
    QString heading;
    struct Group {
        QString value;
        std::int64_t count;
    };
    std::vector<Group> groups;
};

ReportData readReportData(db::Connection& connection, const ReportSettings& settings,
                          const Layout& layout);

}  // namespace reports
