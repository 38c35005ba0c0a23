#include "reports/Formula.h"

#include <algorithm>
#include <cctype>

#include "catalogue/Catalogue.h"
#include "catalogue/Views.h"
#include "catalogue/Words.h"
#include "reports/ReportError.h"

namespace reports {
namespace {

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// A recursive-descent reader of the formula, writing the condition as it goes.
class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}

    Selection read() {
        Selection selection;
        skipBlanks();
        if (at_ == text_.size()) {
            return selection;
        }
        selection.where = orExpression(selection.params);
        skipBlanks();
        if (at_ != text_.size()) {
            fail("unexpected text");
        }
        return selection;
    }

  private:
    std::string orExpression(std::vector<db::Value>& params) {
        std::string sql = andExpression(params);
        while (word("OR")) {
            sql += " OR " + andExpression(params);
        }
        return sql;
    }

    std::string andExpression(std::vector<db::Value>& params) {
        std::string sql = notExpression(params);
        while (word("AND")) {
            sql += " AND " + notExpression(params);
        }
        return sql;
    }

    std::string notExpression(std::vector<db::Value>& params) {
        if (word("NOT")) {
            const Nested nested(*this);
            return "NOT " + notExpression(params);
        }
        return primary(params);
    }

    std::string primary(std::vector<db::Value>& params) {
        skipBlanks();
        if (symbol("(")) {
            const Nested nested(*this);
            std::string sql = "(" + orExpression(params) + ")";
            if (!symbol(")")) {
                fail("a closing parenthesis is missing");
            }
            return sql;
        }
        if (word("CONTAINS")) {  // the words the search window's Contains looks for
            const auto words = db::catalogue::searchWords(literal());
            if (words.empty()) {
                fail("words to look for are expected");
            }
            const db::catalogue::Match match = db::catalogue::wordMatch(words);
            params.insert(params.end(), match.params.begin(), match.params.end());
            return "(" + match.where + ")";
        }
        const std::string column = field();
        const std::string op = word("STARTSWITH") ? "STARTSWITH" : comparison();
        const db::catalogue::Match match = db::catalogue::comparedByLetters(column, op, literal());
        params.insert(params.end(), match.params.begin(), match.params.end());
        return "(" + match.where + ")";
    }

    // {Main.Field}: one of the four columns, in any letter case.
    std::string field() {
        skipBlanks();
        if (!symbol("{")) {
            fail("a field such as {Main.Artist} is expected");
        }
        const auto close = text_.find('}', at_);
        if (close == std::string::npos) {
            fail("a closing brace is missing");
        }
        const std::string name = text_.substr(at_, close - at_);
        for (std::string_view column : db::RecordColumns) {
            if (sameWord(name, "Main." + std::string(column))) {
                at_ = close + 1;
                return std::string(column);
            }
        }
        fail("{" + name + "} is not a field of the catalogue");
    }

    std::string comparison() {
        skipBlanks();
        for (const char* op : {"<=", ">=", "<>", "=", "<", ">"}) {
            if (symbol(op)) {
                return op;
            }
        }
        fail("a comparison (= <> < <= > >= STARTSWITH) is expected");
    }

    std::string literal() {
        skipBlanks();
        if (!symbol("'")) {
            fail("a text in single quotes is expected");
        }
        std::string value;
        for (;;) {
            const auto quote = text_.find('\'', at_);
            if (quote == std::string::npos) {
                fail("a text is not closed with a quote");
            }
            value += text_.substr(at_, quote - at_);
            at_ = quote + 1;
            if (at_ < text_.size() && text_[at_] == '\'') {  // a quote written twice
                value += '\'';
                ++at_;
                continue;
            }
            return value;
        }
    }

    // A keyword standing alone (not the start of a longer word).
    bool word(std::string_view keyword) {
        skipBlanks();
        if (text_.size() - at_ < keyword.size() ||
            !sameWord(std::string_view(text_).substr(at_, keyword.size()), keyword)) {
            return false;
        }
        const std::size_t end = at_ + keyword.size();
        if (end < text_.size() &&
            (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) {
            return false;
        }
        at_ = end;
        return true;
    }

    bool symbol(std::string_view symbol) {
        if (text_.compare(at_, symbol.size(), symbol) == 0) {
            at_ += symbol.size();
            return true;
        }
        return false;
    }

    void skipBlanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }

    [[noreturn]] void fail(const std::string& what) {
        throw ReportError(err::FormulaError, "Error in formula at character " +
                                                 std::to_string(at_ + 1) + ": " + what + ".");
    }

    // Each parenthesis and NOT reads one level deeper, and each level is a call: a formula
    // nested beyond any a person writes is refused before it can use up the stack (and
    // before the engine's own parser, which stops near 90 levels, would refuse its SQL).
    static constexpr int DeepestNesting = 40;
    struct Nested {
        explicit Nested(Reader& reader) : reader(reader) {
            if (++reader.nesting_ > DeepestNesting) {
                reader.fail("it is nested more than " + std::to_string(DeepestNesting) + " deep");
            }
        }
        ~Nested() { --reader.nesting_; }
        Reader& reader;
    };

    const std::string& text_;
    std::size_t at_ = 0;
    int nesting_ = 0;
};

}  // namespace

Selection parseSelection(const std::string& formula) {
    return Reader(formula).read();
}

namespace {

std::string literal(std::string text) {
    for (std::size_t at = 0; (at = text.find('\'', at)) != std::string::npos; at += 2) {
        text.insert(at, 1, '\'');
    }
    return "'" + text + "'";
}

}  // namespace

std::string containsSelection(const std::string& words) {
    return "CONTAINS " + literal(words);
}

std::string rangeSelection(const std::string& column, const std::string& from,
                           const std::string& to) {
    const std::string field = "{Main." + column + "}";
    return field + " >= " + literal(from) + " AND (" + field + " <= " + literal(to + "z") + " OR " +
           field + " STARTSWITH " + literal(to) + ")";
}

}  // namespace reports
