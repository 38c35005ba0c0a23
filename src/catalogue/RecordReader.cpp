#include "catalogue/RecordReader.h"

namespace db::catalogue {

RecordReader::RecordReader(Connection& connection)
    : statement_(connection, "SELECT " + recordColumnList() + " FROM main.Main WHERE rowid = ?") {}

std::optional<RecordReader::Texts> RecordReader::read(std::int64_t rowId) {
    statement_.bind(1, Value(rowId));
    std::optional<Texts> texts;
    try {
        if (statement_.step()) {
            texts.emplace();
            for (int column = 0; column < 4; ++column) {
                if (const auto text = statement_.textColumn(column)) {
                    (*texts)[static_cast<std::size_t>(column)] = std::string(*text);
                }
            }
        }
    } catch (...) {
        statement_.reset();
        throw;
    }
    statement_.reset();  // holds no read lock between reads
    return texts;
}

}  // namespace db::catalogue
