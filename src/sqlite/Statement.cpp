// Prepared statements: binding values, stepping through rows, reading columns.
#include <sqlite3.h>

#include "sqlite/Connection.h"

namespace db {

void Statement::Finalizer::operator()(sqlite3_stmt* stmt) const {
    sqlite3_finalize(stmt);
}

Statement::Statement(Connection& connection, const std::string& sql) : connection_(&connection) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(connection.handle(), sql.c_str(),
                                      static_cast<int>(sql.size()), &raw, nullptr);
    stmt_.reset(raw);
    if (rc != SQLITE_OK) {
        connection.fail(rc);
    }
}

Statement& Statement::bind(int index, const Value& value) {
    int rc = SQLITE_OK;
    if (auto i = value.integer()) {
        rc = sqlite3_bind_int64(stmt_.get(), index, *i);
    } else if (auto d = value.real()) {
        rc = sqlite3_bind_double(stmt_.get(), index, *d);
    } else if (auto s = value.string()) {
        rc = sqlite3_bind_text(stmt_.get(), index, s->data(), static_cast<int>(s->size()),
                               SQLITE_TRANSIENT);
    } else {
        rc = sqlite3_bind_null(stmt_.get(), index);
    }
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    // A null pointer would bind Null: the empty key is an empty BLOB.
    const int rc = sqlite3_bind_blob(stmt_.get(), index, bytes.data() ? bytes.data() : "",
                                     static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

Statement& Statement::bindText(int index, std::optional<std::string_view> text) {
    if (text && !text->data()) {
        text = "";  // a null pointer would bind Null, not empty text
    }
    const int rc = text ? sqlite3_bind_text(stmt_.get(), index, text->data(),
                                            static_cast<int>(text->size()), SQLITE_STATIC)
                        : sqlite3_bind_null(stmt_.get(), index);
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

Statement& Statement::bindAll(const std::vector<Value>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        bind(static_cast<int>(i) + 1, values[i]);
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(stmt_.get());
    connection_->fail(rc);
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_.get());
}

std::string Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_.get(), column);
    return name ? name : "";
}

Value Statement::column(int column) const {
    switch (sqlite3_column_type(stmt_.get(), column)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt_.get(), column)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(stmt_.get(), column));
        case SQLITE_NULL:
            return Value();
        default: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
            return Value(std::string(text, sqlite3_column_bytes(stmt_.get(), column)));
        }
    }
}

std::optional<std::string_view> Statement::textColumn(int column) const {
    if (sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    return std::string_view(text,
                            static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column)));
}

std::string_view Statement::blobColumn(int column) const {
    const void* bytes = sqlite3_column_blob(stmt_.get(), column);
    return bytes ? std::string_view(
                       static_cast<const char*>(bytes),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column)))
                 : std::string_view();
}

std::int64_t Statement::integerColumn(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

}  // namespace db
