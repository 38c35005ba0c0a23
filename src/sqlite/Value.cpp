#include "sqlite/Value.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "sqlite/DbError.h"

namespace db {
namespace {

DbError typeMismatch() {
    return {err::TypeMismatch, "Type mismatch"};
}

std::string trimmed(const std::string& s) {
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(s.begin(), s.end(), isSpace);
    auto last = std::find_if_not(s.rbegin(), s.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string formatReal(double d) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

std::string Value::toText() const {
    if (auto t = text()) {
        return *t;
    }
    throw DbError(err::InvalidUseOfNull, "Invalid use of Null");
}

std::optional<std::string> Value::text() const {
    if (auto s = string()) {
        return *s;
    }
    if (auto i = integer()) {
        return std::to_string(*i);
    }
    if (auto d = real()) {
        return formatReal(*d);
    }
    return std::nullopt;
}

double Value::toNumber() const {
    if (auto i = integer()) {
        return static_cast<double>(*i);
    }
    if (auto d = real()) {
        return *d;
    }
    if (isNull()) {
        throw DbError(err::InvalidUseOfNull, "Invalid use of Null");
    }
    const std::string t = trimmed(*string());
    double result = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), result);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(result)) {
        throw typeMismatch();
    }
    return result;
}

bool Value::toBoolean() const {
    if (auto s = string()) {
        const std::string word = lower(trimmed(*s));
        if (word == "true") {
            return true;
        }
        if (word == "false") {
            return false;
        }
    }
    return toNumber() != 0.0;
}

}  // namespace db
