#include "catalogue/RecordTransfer.h"

#include <algorithm>
#include <cstring>

#include "catalogue/Collation.h"
#include "catalogue/Hashing.h"
#include "catalogue/Orders.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

constexpr std::int64_t ManyRecords = 50000;

bool isMany(Connection& connection, std::int64_t expected) {
    if (expected > ManyRecords) {
        return true;
    }
    return expected * 10 > connection.integerValue("SELECT count(*) FROM Main");
}

void bindTexts(Statement& statement, const RecordTexts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        statement.bindText(static_cast<int>(i) + 1, texts[i]);
    }
}

}  // namespace

RecordInserter::RecordInserter(Connection& connection, std::int64_t expected)
    : connection_(connection),
      firstAdded_(isMany(connection, expected) ? beginAddingMany(connection, expected)
                                               : std::nullopt),
      statement_(connection,
                 "INSERT INTO Main (" + recordColumnList() + ") VALUES (?1, ?2, ?3, ?4)") {}

void RecordInserter::insert(const RecordTexts& texts) {
    bindTexts(statement_, texts);
    statement_.step();
    statement_.reset();
}

void RecordInserter::finish() {
    if (firstAdded_) {
        placeAddedRecords(connection_, *firstAdded_);
        firstAdded_.reset();
    }
}

namespace {

// A hash of bytes, eight at a time; two seeds give two independent halves of a 128-bit one.
std::uint64_t hashOf(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t hash = spread(seed ^ bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, std::min<std::size_t>(8, bytes.size() - at));
        hash = spread(hash ^ word) + 0x9E3779B97F4A7C15ULL;
    }
    return hash;
}

}  // namespace

// The name keys hashed one after another, each with its length so none runs into the next;
// the category's, hashed apart, joins them last.
RecordMatcher::Seen RecordMatcher::seen(std::string_view artist, std::string_view title,
                                        std::string_view format) {
    Seen record{0x51ED270B27A5C3B1ULL, 0x2545F4914F6CDD1DULL};
    for (std::string_view key : {artist, title, format}) {
        record.high = hashOf(key, record.high);
        record.low = hashOf(key, record.low);
    }
    return record;
}

RecordMatcher::Seen RecordMatcher::withCategory(Seen record, std::uint64_t category) {
    const std::string_view bytes(reinterpret_cast<const char*>(&category), sizeof category);
    record.high = hashOf(bytes, record.high);
    record.low = hashOf(bytes, record.low) | (record.high == 0 ? 1 : 0);  // zero: an empty slot
    return record;
}

// The slot holding the record, or the empty one where it would be.
std::size_t RecordMatcher::slotOf(const Seen& record) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(record.high) & mask;
    while (slots_[slot] != Seen{} && slots_[slot] != record) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

RecordMatcher::RecordMatcher(Connection& connection, std::optional<std::int64_t> upToRowId) {
    const OrderRead read(connection);  // the records noted before are in their places
    const std::string upTo = upToRowId ? " WHERE Id <= " + std::to_string(*upToRowId) : "";
    // Each record's category from its order's keys, and its artist, title and format from the
    // format order's, each in row id order: then joined in one pass.
    std::vector<std::pair<std::int64_t, std::uint64_t>> categories;
    Statement category(connection, "SELECT Id, CategoryKey FROM CategoryOrder" + upTo);
    while (category.step()) {
        categories.emplace_back(category.integerColumn(0),
                                hashOf(collation::withoutCase(category.blobColumn(1)), 0));
    }
    std::vector<std::pair<std::int64_t, Seen>> others;
    Statement rest(connection, "SELECT Id, ArtistKey, TitleKey, FormatKey FROM FormatOrder" + upTo);
    while (rest.step()) {
        others.emplace_back(rest.integerColumn(0),
                            seen(collation::withoutCase(rest.blobColumn(1)),
                                 collation::withoutCase(rest.blobColumn(2)),
                                 collation::withoutCase(rest.blobColumn(3))));
    }
    const auto byId = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(categories.begin(), categories.end(), byId);
    std::sort(others.begin(), others.end(), byId);
    std::size_t size = 16;
    while (size < 2 * others.size()) {
        size *= 2;
    }
    slots_.assign(size, Seen{});
    auto found = categories.begin();
    for (const auto& [id, record] : others) {
        while (found != categories.end() && found->first < id) {
            ++found;
        }
        if (found != categories.end() && found->first == id) {
            const Seen whole = withCategory(record, found->second);
            slots_[slotOf(whole)] = whole;
        }
    }
}

bool RecordMatcher::holds(const RecordTexts& texts) const {
    std::array<std::string, 4> keys;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto& text = texts[i];
        keys[i] = collation::sortKey(text ? std::optional<std::string_view>(*text) : std::nullopt);
    }
    using collation::withoutCase;
    const Seen record =
        withCategory(seen(withoutCase(keys[0]), withoutCase(keys[1]), withoutCase(keys[3])),
                     hashOf(withoutCase(keys[2]), 0));
    return slots_[slotOf(record)] == record;
}

// The same name has the same key up to its case level (quorvane_same_name compares so).
LookupMatcher::LookupMatcher(Connection& connection, Lookup which) {
    const std::string column = quoted(lookupColumn(which));
    Statement names(connection,
                    "SELECT " + column + " FROM " + column + " WHERE " + column + " IS NOT NULL");
    while (names.step()) {
        names_.insert(collation::nameKey(names.textColumn(0)));
    }
}

bool LookupMatcher::holds(const std::string& value) const {
    return names_.contains(collation::nameKey(value));
}

std::int64_t lastRowId(Connection& connection) {
    return connection.integerValue("SELECT coalesce(max(rowid), 0) FROM Main");
}

void addLookupValue(Connection& connection, Lookup which, const std::string& value) {
    const std::string column = quoted(lookupColumn(which));
    connection.execute("INSERT INTO " + column + " (" + column + ") VALUES (?)", {value});
}

}  // namespace db::catalogue
