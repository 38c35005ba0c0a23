#pragma once

#include <stdexcept>
#include <string>

namespace reports {

// A numbered failure of a report run, as the report engine has always numbered them.
struct ReportError : std::runtime_error {
    ReportError(long number, const std::string& description)
        : std::runtime_error(description), number(number), description(description) {}
    long number;
    std::string description;
};

namespace err {
inline constexpr long FileNotFound = 20504;   // the layout file is not there
inline constexpr long BadLayout = 20507;      // the layout file cannot be read as a layout
inline constexpr long FormulaError = 20515;   // a formula the engine cannot read
inline constexpr long DatabaseError = 20599;  // the catalogue could not be read
inline constexpr long OutputError = 20545;    // the printer or the file could not be written
}  // namespace err

}  // namespace reports
