#include "CatalogueGenerator.h"

#include <array>
#include <filesystem>
#include <random>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"

namespace bench {
namespace {

const std::array<const char*, 24> Words = {
    "Blue",  "Night", "Road",   "Love",   "River", "Fire",  "Moon",    "Gold",
    "Heart", "Train", "Summer", "Dream",  "Stone", "Rain",  "Highway", "Sky",
    "Ocean", "City",  "Shadow", "Garden", "Wild",  "Light", "Silver",  "Rose"};
const std::array<const char*, 10> Categories = {"Rock", "Pop",  "Jazz",  "Blues", "Soul",
                                                "Folk", "Funk", "Latin", "World", "Class"};
const std::array<const char*, 6> Formats = {"CD", "LP", "MC", "EP", "SACD", "FLAC"};
const std::array<const char*, 8> Surnames = {"O'Connor", "D'Angelo", "Guns N' Roses", "Smith",
                                             "Brown",    "Nguyen",   "Müller",        "García"};
// Names in other scripts and with accents, for two artists in five.
const std::array<const char*, 12> Abroad = {"Édith",    "Björk", "Åge",  "Ñu",    "Мумий", "Тролль",
                                            "Αλκίνοος", "坂本",  "방탄", "فيروز", "Łona",  "Ørjan"};

std::string pick(std::mt19937_64& random, const auto& list) {
    return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
}

}  // namespace

void generateCatalogue(const std::string& path, std::int64_t records, std::int64_t listed) {
    db::catalogue::makeCatalogue(path, false);
    db::Connection connection;
    connection.open(path);
    std::mt19937_64 random(static_cast<std::uint64_t>(records));
    // Artists: about one per twelve records, chosen with a skew towards the first ones.
    const auto artistCount = std::max<std::int64_t>(records / 12, 10);
    std::vector<std::string> artists;
    for (std::int64_t i = 0; i < artistCount; ++i) {
        const bool abroad = std::uniform_int_distribution<int>(0, 4)(random) < 2;
        artists.push_back((abroad ? pick(random, Abroad) : pick(random, Words)) + " " +
                          pick(random, Surnames) + " " + std::to_string(i));
    }
    std::geometric_distribution<std::int64_t> skew(8.0 / static_cast<double>(artistCount));
    std::uniform_int_distribution<int> percent(0, 999);
    db::Transaction transaction(connection);
    db::Statement insert(connection,
                         "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?,?,?,?)");
    for (std::int64_t i = 0; i < records; ++i) {
        const auto artist = artists[static_cast<std::size_t>(skew(random) % artistCount)];
        std::string title = pick(random, Words) + " " + pick(random, Words);
        if (percent(random) < 300) {
            title += " " + std::to_string(percent(random));
        }
        insert.bind(1, artist.substr(0, 30));
        insert.bind(2, percent(random) < 3 ? db::Value() : db::Value(title.substr(0, 30)));
        insert.bind(3, percent(random) < 5 ? db::Value() : db::Value(pick(random, Categories)));
        insert.bind(4, db::Value(pick(random, Formats)));
        insert.step();
        insert.reset();
    }
    db::Statement list(connection, "INSERT INTO Artist (Artist) VALUES (?)");
    for (std::int64_t i = 0; i < listed; ++i) {
        list.bind(1, db::Value(pick(random, Words) + " " + pick(random, Surnames) + " " +
                               std::to_string(i)));
        list.step();
        list.reset();
    }
    db::catalogue::bringOrdersTrue(connection);
    transaction.commit();
}

std::string cachedCatalogue(const std::string& directory, std::int64_t records,
                            std::int64_t artists) {
    std::filesystem::create_directories(directory);
    // Named for what they hold: the sort keys came with the second kind, their tables of
    // their own with the third, the orders' state and numbered notes with the fourth, the
    // word index with the fifth.
    std::string name = "worded-catalogue-" + std::to_string(records);
    if (artists > 0) {
        name += "-artists-" + std::to_string(artists);
    }
    const auto path = std::filesystem::path(directory) / (name + ".mdb");
    if (!std::filesystem::exists(path)) {
        const auto partial = path.string() + ".partial";
        generateCatalogue(partial, records, artists);
        std::filesystem::rename(partial, path);
    }
    return path.string();
}

}  // namespace bench
