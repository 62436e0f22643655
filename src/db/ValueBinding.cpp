#include "db/ValueBinding.h"

#include <sqlite3.h>

namespace korvana::db {

void bindValue(sqlite::Statement& statement, int index, const Value& value) {
    struct Bind {
        sqlite::Statement& s;
        int i;
        void operator()(std::monostate) const { s.bindNull(i); }
        void operator()(bool b) const { s.bind(i, std::int64_t{b ? -1 : 0}); }
        void operator()(std::int64_t v) const { s.bind(i, v); }
        void operator()(double v) const { s.bind(i, v); }
        void operator()(const std::string& v) const { s.bind(i, std::string_view(v)); }
        void operator()(const Bytes& v) const { s.bindBlob(i, v); }
        void operator()(const DateTime& v) const { s.bind(i, std::string_view(v.text)); }
    };
    std::visit(Bind{statement, index}, value);
}

Value readValue(const sqlite::Statement& statement, int column, DaoType type) {
    const int stored = statement.columnType(column);
    switch (stored) {
    case SQLITE_NULL:
        return std::monostate{};
    case SQLITE_INTEGER:
        if (type == DaoType::Boolean) {
            return statement.getInt(column) != 0;
        }
        if (type == DaoType::Currency || type == DaoType::Single || type == DaoType::Double) {
            return static_cast<double>(statement.getInt(column));
        }
        return statement.getInt(column);
    case SQLITE_FLOAT:
        if (type == DaoType::Boolean) {
            return statement.getDouble(column) != 0.0;
        }
        return statement.getDouble(column);
    case SQLITE_BLOB:
        return statement.getBlob(column);
    default:
        if (type == DaoType::DateTime) {
            return DateTime{statement.getText(column)};
        }
        if (type == DaoType::LongBinary) {
            const auto text = statement.getText(column);
            return Bytes(text.begin(), text.end());
        }
        return statement.getText(column);
    }
}

Value normaliseForField(const Value& value, DaoType type) {
    if (type != DaoType::Boolean) {
        return value;
    }
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return *i != 0;
    }
    if (const auto* d = std::get_if<double>(&value)) {
        return *d != 0.0;
    }
    return value;
}

} // namespace korvana::db
