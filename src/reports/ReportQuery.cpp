#include "reports/ReportQuery.h"

#include <QRegularExpression>

#include "db/Catalogue.h"
#include "db/DbError.h"
#include "db/SortKeys.h"
#include "db/SqlText.h"
#include "reports/Formula.h"
#include "reports/ReportError.h"

namespace reports {
namespace {

// "+{Main.Title}" as "\"TitleKey\" ASC" (the title's sort key: the views' order); an empty
// position adds nothing.
std::string sortTerm(const QString& field) {
    if (field.trimmed().isEmpty()) {
        return {};
    }
    static const QRegularExpression pattern(
        R"(^\s*([+-])\s*\{\s*Main\.(Artist|Title|Category|Format)\s*\}\s*$)",
        QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(field);
    if (!match.hasMatch()) {
        throw ReportError(err::FormulaError, "Error in sort field '" + field.toStdString() + "'.");
    }
    QString column = match.captured(2).toLower();
    column[0] = column[0].toUpper();
    return db::quoted(column.toStdString() + "Key") + (match.captured(1) == "+" ? " ASC" : " DESC");
}

// The value a formula such as "TxtTitle = 'View by Artist'" gives the named formula field.
QString formulaValue(const std::array<QString, 1>& formulas, const QString& name) {
    static const QRegularExpression pattern(R"(^\s*(\w+)\s*=\s*'((?:[^']|'')*)'\s*$)");
    for (const QString& formula : formulas) {
        if (formula.trimmed().isEmpty()) {
            continue;
        }
        const auto match = pattern.match(formula);
        if (!match.hasMatch()) {
            throw ReportError(err::FormulaError,
                              "Error in formula '" + formula.toStdString() + "'.");
        }
        if (match.captured(1).compare(name, Qt::CaseInsensitive) == 0) {
            return match.captured(2).replace("''", "'");
        }
    }
    return {};
}

QString text(std::optional<std::string_view> value) {
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                 : QString();
}

}  // namespace

ReportData readReportData(db::Connection& connection, const ReportSettings& settings,
                          const Layout& layout) {
    const Selection selection = parseSelection(settings.selectionFormula.toStdString());
    std::string order;
    if (layout.grouped) {
        order = db::quoted(layout.group.toStdString() + "Key") + " ASC";
    }
    for (const QString& field : settings.sortFields) {
        const std::string term = sortTerm(field);
        if (!term.empty()) {
            order += (order.empty() ? "" : ", ") + term;
        }
    }
    order += std::string(order.empty() ? "" : ", ") + "rowid";
    const std::string where = selection.where.empty() ? "" : " WHERE " + selection.where;

    ReportData data;
    data.heading = formulaValue(settings.formulas, "TxtTitle");
    try {
        db::catalogue::fillMissingKeys(connection);
        db::Statement rows(connection, "SELECT rowid FROM Main" + where + " ORDER BY " + order);
        rows.bindAll(selection.params);
        while (rows.step()) {
            data.rowIds.push_back(rows.integerColumn(0));
        }
        if (layout.grouped) {
            // Groups as the counts make them: case and the way an accent is written do not
            // split one.
            db::catalogue::groupedCounts(
                connection, layout.group.toStdString(), {selection.where, selection.params},
                [&](std::optional<std::string_view> value, std::int64_t count) {
                    data.groups.push_back({text(value), count});
                });
        }
        db::Statement title(connection, "SELECT Title FROM ReportTitle ORDER BY rowid LIMIT 1");
        if (title.step()) {
            data.title = text(title.textColumn(0));  // a Null title prints as nothing
        }
    } catch (const db::DbError& error) {
        throw ReportError(err::DatabaseError, error.description);
    }
    return data;
}

}  // namespace reports
