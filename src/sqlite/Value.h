#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace db {

// One field value: Null is distinct from empty text.
class Value {
  public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(std::int64_t i) : v_(i) {}
    Value(int i) : v_(std::int64_t{i}) {}
    Value(double d) : v_(d) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(const char* s) : v_(std::string(s)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }

    // Text form of the value; a Null cannot be converted (error 94).
    std::string toText() const;
    // Text form, or nothing for a Null.
    std::optional<std::string> text() const;
    // Number form: integers and reals as they are, text parsed; otherwise error 13.
    double toNumber() const;
    // On/off: zero is off, any other number on; "True"/"False" also read.
    bool toBoolean() const;

    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&v_); }
    const double* real() const { return std::get_if<double>(&v_); }
    const std::string* string() const { return std::get_if<std::string>(&v_); }

    bool operator==(const Value&) const = default;

  private:
    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

}  // namespace db
