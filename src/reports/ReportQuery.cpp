#include "reports/ReportQuery.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"
#include "catalogue/Views.h"
#include "reports/Formula.h"
#include "reports/ReportError.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace reports {
namespace {

// A sort position: "+{Main.Title}" is the title, ascending; an empty position is nothing.
struct SortTerm {
    std::string column;
    bool ascending = true;
};

std::optional<SortTerm> sortTerm(const QString& field) {
    if (field.trimmed().isEmpty()) {
        return std::nullopt;
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
    return SortTerm{column.toStdString(), match.captured(1) == "+"};
}

// The records' row ids in the order of the terms (ties by row id), as the views order texts.
// An order that begins one of the views' is read from that view's table (records equal in it
// sorted by row id); any other is made from the texts' keys as they are read, and sorted.
std::string orderedRowIds(const std::vector<SortTerm>& terms, const std::string& where) {
    for (const db::View& view : db::views()) {
        std::string keys;
        std::size_t matched = 0;
        for (std::string_view text : view.texts) {
            if (matched < terms.size() && terms[matched].ascending &&
                terms[matched].column == text) {
                keys += std::string(text) + "Key, ";
                ++matched;
            } else {
                break;
            }
        }
        if (matched > 0 && matched == terms.size()) {
            const std::string table = db::quoted(std::string(view.table));
            return "SELECT Main.rowid FROM " + table + " JOIN Main ON Main.rowid = " + table +
                   ".Id" + where + " ORDER BY " + keys + table + ".Id";
        }
    }
    std::string order;
    for (const SortTerm& term : terms) {
        order += "quorvane_sort_key(" + db::quoted(term.column) + ")" +
                 (term.ascending ? " ASC, " : " DESC, ");
    }
    return "SELECT rowid FROM Main" + where + " ORDER BY " + order + "rowid";
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
    std::vector<SortTerm> terms;
    if (layout.grouped) {
        terms.push_back({layout.group.toStdString(), true});
    }
    for (const QString& field : settings.sortFields) {
        if (auto term = sortTerm(field)) {
            terms.push_back(std::move(*term));
        }
    }
    const std::string where = selection.where.empty() ? "" : " WHERE " + selection.where;

    ReportData data;
    data.heading = formulaValue(settings.formulas, "TxtTitle");
    try {
        const db::catalogue::OrderRead read(connection);  // every read below sees one file
        db::Statement rows(connection, orderedRowIds(terms, where));
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
