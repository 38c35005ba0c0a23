#pragma once

#include <stdexcept>
#include <string>

namespace db {

// The failure numbers the windows single out; descriptions follow the catalogue's
// long-standing wording so messages read the same as they always have.
namespace err {
inline constexpr long TypeMismatch = 13;
inline constexpr long InvalidUseOfNull = 94;
inline constexpr long NoCurrentRecord = 3021;
inline constexpr long RecordDeleted = 3167;
inline constexpr long ObjectClosed = 3704;
inline constexpr long BadBookmark = -2147217906;
inline constexpr long TableMissing = -2147217865;
inline constexpr long RowChanged = -2147217864;
inline constexpr long NotAllowed = -2147217887;
inline constexpr long Unspecified = -2147467259;
}  // namespace err

// A numbered failure with a description, as every routine reports it.
class DbError : public std::runtime_error {
  public:
    DbError(long number, std::string description)
        : std::runtime_error(description), number(number), description(std::move(description)) {}

    long number;
    std::string description;
    // The file itself is damaged (a malformed page or header): a repair may salvage it.
    bool damaged = false;
    // Another program holds the file: the same work may succeed later.
    bool busy = false;
    // The file is no catalogue at all (empty, a device, another program's file).
    bool foreign = false;

    static DbError noCurrentRecord() {
        return {err::NoCurrentRecord,
                "Either BOF or EOF is True, or the current record has been deleted. Requested "
                "operation requires a current record."};
    }
    static DbError objectClosed() {
        return {err::ObjectClosed, "Operation is not allowed when the object is closed."};
    }
    static DbError recordDeleted() { return {err::RecordDeleted, "Record is deleted."}; }
    static DbError rowChanged() {
        return {err::RowChanged,
                "Another program changed or moved this record in the catalogue file after it "
                "was read. The catalogue has been read again."};
    }
    static DbError badBookmark() {
        return {err::BadBookmark,
                "Arguments are of the wrong type, are out of acceptable range, or are in "
                "conflict with one another."};
    }
    static DbError damage(std::string description) {
        DbError error(err::Unspecified, std::move(description));
        error.damaged = true;
        return error;
    }
    static DbError foreignFile(std::string description) {
        DbError error(err::Unspecified, std::move(description));
        error.foreign = true;
        return error;
    }
    static DbError notAllowed(const std::string& what) {
        return {err::NotAllowed, "Operation is not allowed: " + what + "."};
    }
};

}  // namespace db
