#include "db/jetfile/JetFile.h"

#include "db/DbErrors.h"
#include "db/DefaultExpression.h"
#include "db/JetFileFormat.h"
#include "db/SqlNames.h"
#include "platform/Error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mdbtools.h>

namespace korvana::db::jetfile {

namespace {

// libmdb hands out text it allocated with glib.
struct GlibText {
    char* text;
    explicit GlibText(char* allocated) : text(allocated) {}
    GlibText(const GlibText&) = delete;
    GlibText& operator=(const GlibText&) = delete;
    ~GlibText() { g_free(text); }
    std::string str() const { return text ? std::string(text) : std::string(); }
};

// Masks and sizes of the Jet 4.0 format that libmdb does not name.
constexpr int rowOffsetMask = 0x1fff;
constexpr std::uint32_t memoLengthMask = 0x3fffffff;
// A long value's first bytes, which libmdb's readers expect in the column's
// bound buffer; the pages it copies through it are at most this large.
constexpr std::size_t longValueBuffer = MDB_BIND_SIZE;
// Index type of the hidden index that carries one side of a relation.
constexpr unsigned char foreignKeyIndex = 2;
constexpr unsigned char primaryKeyIndex = 1;

std::string named(std::string_view name) {
    return "'" + std::string(name) + "'";
}

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw Error("'" + path + "' cannot be read as a Jet 4.0 database: " + why,
                errors::notADatabase);
}

// How a Jet column's value becomes one of ours.
enum class Decode {
    Boolean,
    Byte,
    Integer,
    Long,
    Money,
    Single,
    Double,
    Date,
    Text,
    Memo,
    Binary,
    Ole,
    Numeric,
    Guid
};

struct Source {
    int column = 0; // index into libmdb's column list
    Decode decode = Decode::Text;
};

struct Described {
    JetTable table;
    std::vector<Source> sources;
};

std::optional<std::string> columnProperty(const MdbColumn* column, const char* name) {
    if (!column->props) {
        return std::nullopt;
    }
    const char* value = mdb_col_get_prop(column, name);
    if (!value) {
        return std::nullopt;
    }
    return std::string(value);
}

bool isYes(const std::optional<std::string>& value) {
    return value && (*value == "yes" || *value == "True" || *value == "-1");
}

// The property as DAO would type it: the Yes/No properties as Booleans, whole
// numbers as Long, the rest as Text.
Property typedProperty(const std::string& name, const std::string& value) {
    if (value == "yes" || value == "no") {
        return Property::boolean(name, value == "yes");
    }
    std::int32_t number = 0;
    const auto* end = value.data() + value.size();
    const auto parsed = std::from_chars(value.data(), end, number);
    if (!value.empty() && parsed.ec == std::errc{} && parsed.ptr == end) {
        return {name, DaoType::Long, Value(std::int64_t{number})};
    }
    return Property::text(name, value);
}

// Properties that become the field's own settings rather than properties.
bool isFieldSetting(std::string_view name) {
    return name == "Required" || name == "AllowZeroLength" || name == "DefaultValue";
}

void addProperties(const MdbColumn* column, FieldDef& field, const std::string& where,
                   std::vector<std::string>& notes) {
    if (!column->props || !column->props->hash) {
        return;
    }
    std::vector<std::pair<std::string, std::string>> found;
    g_hash_table_foreach(
        column->props->hash,
        [](gpointer key, gpointer value, gpointer into) {
            static_cast<std::vector<std::pair<std::string, std::string>>*>(into)->emplace_back(
                static_cast<const char*>(key), value ? static_cast<const char*>(value) : "");
        },
        &found);
    // The hash has no order of its own; names give a stable one.
    std::sort(found.begin(), found.end());
    for (const auto& [name, value] : found) {
        if (isFieldSetting(name)) {
            continue;
        }
        if (value.starts_with("(binary data")) {
            notes.push_back("property " + named(name) + " of column " + where +
                            " left out: binary values are not brought over");
            continue;
        }
        try {
            checkName("property", name);
        } catch (const Error& error) {
            notes.push_back("property of column " + where + " left out: " + error.what());
            continue;
        }
        field.properties.push_back(typedProperty(name, value));
    }
}

std::optional<std::pair<DaoType, Decode>> typeOf(const MdbColumn* column, std::string& change) {
    switch (column->col_type) {
    case MDB_BOOL:
        return std::pair{DaoType::Boolean, Decode::Boolean};
    case MDB_BYTE:
        return std::pair{DaoType::Byte, Decode::Byte};
    case MDB_INT:
        return std::pair{DaoType::Integer, Decode::Integer};
    case MDB_LONGINT:
        return std::pair{DaoType::Long, Decode::Long};
    case MDB_MONEY:
        return std::pair{DaoType::Currency, Decode::Money};
    case MDB_FLOAT:
        return std::pair{DaoType::Single, Decode::Single};
    case MDB_DOUBLE:
        return std::pair{DaoType::Double, Decode::Double};
    case MDB_DATETIME:
        return std::pair{DaoType::DateTime, Decode::Date};
    case MDB_TEXT:
        return std::pair{column->is_fixed ? DaoType::FixedText : DaoType::Text, Decode::Text};
    case MDB_MEMO:
        return std::pair{DaoType::Memo, Decode::Memo};
    case MDB_OLE:
        return std::pair{DaoType::LongBinary, Decode::Ole};
    // The project database has no short Binary, GUID or Decimal type; each
    // goes to the type that keeps every value exactly, and the change is told.
    case MDB_BINARY:
        change = "a Binary column became Long binary (the bytes are kept)";
        return std::pair{DaoType::LongBinary, Decode::Binary};
    case MDB_REPID:
        change = "a Replication ID column became Text holding the GUID as {...}";
        return std::pair{DaoType::Text, Decode::Guid};
    case MDB_NUMERIC:
        change = "a Decimal column became Text holding each number's exact digits";
        return std::pair{DaoType::Text, Decode::Numeric};
    default:
        return std::nullopt;
    }
}

Described describe(MdbTableDef* mdbTable, const std::string& tableName) {
    Described result;
    JetTable& table = result.table;
    table.definition.name = tableName;
    std::vector<int> fieldOfColumn(mdbTable->num_cols, -1);
    for (unsigned i = 0; i < mdbTable->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(mdbTable->columns, i));
        const std::string name = column->name;
        const std::string where = named(tableName) + "." + named(name);
        try {
            checkName("field", name);
        } catch (const Error& error) {
            table.notes.push_back("column " + where + " left out: " + error.what());
            continue;
        }
        std::string change;
        const auto type = typeOf(column, change);
        if (!type) {
            table.notes.push_back("column " + where + " left out: its type " +
                                  std::to_string(column->col_type) + " cannot be read");
            continue;
        }
        if (!change.empty()) {
            table.notes.push_back("column " + where + ": " + change);
        }
        FieldDef field(name, type->first);
        if (type->second == Decode::Text) {
            // Jet 4.0 keeps Text sizes in bytes of UTF-16.
            field.size = std::max(1, column->col_size / 2);
        } else if (type->second == Decode::Guid) {
            field.size = 38;
        } else if (type->second == Decode::Numeric) {
            field.size = 40;
        }
        field.required = isYes(columnProperty(column, "Required"));
        field.allowZeroLength = isYes(columnProperty(column, "AllowZeroLength"));
        field.autoNumber = column->is_long_auto != 0 && field.type == DaoType::Long;
        if (column->is_uuid_auto) {
            table.notes.push_back("column " + where +
                                  ": its GUIDs are kept, but new rows get none by themselves");
        }
        field.ordinalPosition = static_cast<int>(table.definition.fields.size());
        if (auto expression = columnProperty(column, "DefaultValue");
            expression && !field.autoNumber) {
            field.defaultValue = *expression;
            try {
                defaultLiteral(field, tableName);
            } catch (const Error&) {
                table.notes.push_back("column " + where + ": its default " + named(*expression) +
                                      " was left out, as the project database cannot "
                                      "compute it");
                field.defaultValue.reset();
            }
        }
        addProperties(column, field, where, table.notes);
        fieldOfColumn[i] = static_cast<int>(table.definition.fields.size());
        table.definition.fields.push_back(std::move(field));
        result.sources.push_back({static_cast<int>(i), type->second});
    }

    // The list is left in the table; the return value is always null.
    mdb_read_indices(mdbTable);
    GPtrArray* indexes = mdbTable->indices;
    for (unsigned i = 0; indexes && i < indexes->len; ++i) {
        const auto* index = static_cast<const MdbIndex*>(g_ptr_array_index(indexes, i));
        const std::string where = named(tableName) + "." + named(index->name);
        if (index->index_type == foreignKeyIndex) {
            table.notes.push_back("index " + where +
                                  " left out: it belongs to a relation, and relations are "
                                  "not brought over");
            continue;
        }
        IndexDef definition;
        definition.name = index->name;
        definition.primary = index->index_type == primaryKeyIndex;
        definition.unique = (index->flags & MDB_IDX_UNIQUE) != 0;
        definition.required = (index->flags & MDB_IDX_REQUIRED) != 0;
        bool complete = index->num_keys <= MDB_MAX_IDX_COLS;
        for (unsigned k = 0; complete && k < index->num_keys; ++k) {
            const int column = index->key_col_num[k] - 1;
            if (column < 0 || column >= static_cast<int>(fieldOfColumn.size()) ||
                fieldOfColumn[column] < 0) {
                complete = false;
                break;
            }
            definition.fields.push_back(
                table.definition.fields[static_cast<std::size_t>(fieldOfColumn[column])].name);
            if (index->key_col_order[k] == MDB_DESC) {
                table.notes.push_back("index " + where + ": its field " +
                                      named(definition.fields.back()) +
                                      " is kept in ascending order (the project database "
                                      "keeps no descending index fields)");
            }
        }
        if (index->num_keys == 0) {
            table.notes.push_back("index " + where +
                                  " left out: libmdb could not read which fields it has");
            continue;
        }
        if (!complete) {
            table.notes.push_back("index " + where + " left out: it names a column left out");
            continue;
        }
        if ((index->flags & MDB_IDX_IGNORENULLS) != 0) {
            table.notes.push_back("index " + where +
                                  ": IgnoreNulls is not kept (the project database indexes "
                                  "Null values too)");
        }
        try {
            checkName("index", definition.name);
        } catch (const Error& error) {
            table.notes.push_back("index " + where + " left out: " + error.what());
            continue;
        }
        table.definition.indexes.push_back(std::move(definition));
    }
    return result;
}

// Days since 1899-12-30 (the whole part, its sign the date's) and the time of
// day as the fraction, as Jet and DAO keep a date.
std::string dateText(double stored) {
    double wholeDays = std::trunc(stored);
    std::int64_t seconds = std::llround(std::fabs(stored - wholeDays) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        wholeDays += stored < 0 ? -1 : 1;
    }
    // Civil date from a day count (days from 1970-01-01), after H. Hinnant.
    std::int64_t z = static_cast<std::int64_t>(wholeDays) - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

template <typename T> T little(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// libmdb passes over catalogue rows it cannot read, and the tables they name
// would be missing without a word; the catalogue table's own count tells.
bool catalogueComplete(MdbHandle* mdb) {
    MdbTableDef* objects =
        mdb_read_table_by_name(mdb, const_cast<gchar*>("MSysObjects"), MDB_TABLE);
    if (!objects) {
        return false;
    }
    mdb_read_columns(objects);
    mdb_rewind_table(objects);
    unsigned rows = 0;
    while (mdb_fetch_row(objects)) {
        ++rows;
    }
    const bool complete = rows == objects->num_rows;
    mdb_free_tabledef(objects);
    return complete;
}

} // namespace

struct JetFile::Handle {
    MdbHandle* mdb = nullptr;
    ~Handle() {
        if (mdb) {
            mdb_close(mdb);
        }
    }
};

struct JetRows::Cursor {
    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
    std::string name;
    std::string path;
    std::vector<Source> sources;
    std::vector<std::vector<char>> longValueBuffers;
    std::vector<MdbField> fields;
    unsigned rowsRead = 0;
    bool done = false;

    ~Cursor() {
        if (table) {
            mdb_free_tabledef(table);
        }
    }

    Value text(const MdbField& field, int type) {
        // libmdb writes at most bind_size bytes of a value's text; a memo may
        // be longer, so the limit is raised to what its stored length can give.
        std::size_t needed = static_cast<std::size_t>(field.siz) * 3 + 16;
        if (type == MDB_MEMO && field.siz >= MDB_MEMO_OVERHEAD) {
            const auto stored = little<std::uint32_t>(mdb->pg_buf + field.start) & memoLengthMask;
            needed = std::max<std::size_t>(needed, std::size_t{stored} * 3 + 16);
        }
        const std::size_t usual = mdb->bind_size;
        if (needed > usual) {
            mdb_set_bind_size(mdb, needed);
        }
        GlibText converted(mdb_col_to_string(mdb, mdb->pg_buf, field.start, type, field.siz));
        mdb_set_bind_size(mdb, usual);
        return converted.str();
    }

    Value decode(const Source& source, const MdbField& field) {
        const unsigned char* at = mdb->pg_buf + field.start;
        switch (source.decode) {
        case Decode::Boolean:
            // A Boolean lives in the null mask: a set bit is True.
            return !field.is_null;
        default:
            break;
        }
        if (field.is_null) {
            return std::monostate{};
        }
        switch (source.decode) {
        case Decode::Byte:
            return std::int64_t{at[0]};
        case Decode::Integer:
            return std::int64_t{little<std::int16_t>(at)};
        case Decode::Long:
            return std::int64_t{little<std::int32_t>(at)};
        case Decode::Money:
            return static_cast<double>(little<std::int64_t>(at)) / 10000.0;
        case Decode::Single:
            return static_cast<double>(little<float>(at));
        case Decode::Double:
            return little<double>(at);
        case Decode::Date:
            return DateTime{dateText(little<double>(at))};
        case Decode::Text:
            return text(field, MDB_TEXT);
        case Decode::Memo:
            return text(field, MDB_MEMO);
        case Decode::Binary:
            return Bytes(at, at + field.siz);
        case Decode::Ole: {
            auto* column =
                static_cast<MdbColumn*>(g_ptr_array_index(table->columns, source.column));
            if (column->cur_value_len == 0) {
                return Bytes{};
            }
            std::size_t size = 0;
            void* bytes = mdb_ole_read_full(mdb, column, &size);
            Bytes value(static_cast<unsigned char*>(bytes),
                        static_cast<unsigned char*>(bytes) + size);
            std::free(bytes);
            return value;
        }
        case Decode::Numeric: {
            auto* column =
                static_cast<MdbColumn*>(g_ptr_array_index(table->columns, source.column));
            GlibText digits(
                mdb_numeric_to_string(mdb, field.start, column->col_scale, column->col_prec));
            return digits.str();
        }
        case Decode::Guid: {
            GlibText guid(mdb_uuid_to_string(mdb->pg_buf, field.start));
            return guid.str();
        }
        case Decode::Boolean:
            break;
        }
        return std::monostate{};
    }
};

JetFile::JetFile(const std::string& path) : path_(path), handle_(std::make_unique<Handle>()) {
    switch (jetFormatOf(path)) {
    case JetFormat::Jet4:
        break;
    case JetFormat::Jet3:
        refuse(path, "it is a Jet 3 database (Access 97 or older); open it in Access 2000 or "
                     "later and save it in the 2000 format first");
    case JetFormat::Ace:
        refuse(path, "it is an ACE database (.accdb, Access 2007 or later); save it in the "
                     "Access 2000 format first");
    case JetFormat::None:
        refuse(path, "it is no Jet database");
    }
    // The password guards no data in Jet 4.0, and libmdb reads past it; a
    // file its owner locked is still not read without asking them.
    if (hasDatabasePassword(path)) {
        refuse(path, "it is protected by a database password; remove the password in Access "
                     "first");
    }
    // A copy cut short ends inside a page; libmdb would read on past its end
    // and pass over what is missing.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size % MDB_PGSIZE != 0) {
        refuse(path, "the file is damaged (cut short)");
    }
    handle_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!handle_->mdb) {
        refuse(path, "the file is damaged");
    }
    if (handle_->mdb->f->db_key != 0) {
        refuse(path, "it is encrypted");
    }
    if (!mdb_read_catalog(handle_->mdb, MDB_ANY) || !catalogueComplete(handle_->mdb)) {
        refuse(path, "the file is damaged (its catalogue cannot be read whole)");
    }
    if (tableNames().empty()) {
        refuse(path, "it holds no tables");
    }
}

JetFile::~JetFile() = default;

std::vector<std::string> JetFile::tableNames() const {
    std::vector<std::string> names;
    GPtrArray* catalog = handle_->mdb->catalog;
    for (unsigned i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry)) {
            names.emplace_back(entry->object_name);
        }
    }
    return names;
}

namespace {

// The kinds of object beside tables that a Jet file's catalogue lists.
constexpr std::pair<int, std::string_view> objectKinds[] = {
    {MDB_QUERY, "query"}, {MDB_FORM, "form"},     {MDB_REPORT, "report"},
    {MDB_MACRO, "macro"}, {MDB_MODULE, "module"}, {MDB_LINKED_TABLE, "linked table"},
};

} // namespace

std::vector<std::string> JetFile::otherObjects() const {
    std::vector<std::string> objects;
    GPtrArray* catalog = handle_->mdb->catalog;
    for (unsigned i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        const std::string name = entry->object_name;
        // The engine's own objects ("MSysDb", ...) are no part of the project.
        if (name.starts_with("MSys")) {
            continue;
        }
        for (const auto& [type, word] : objectKinds) {
            if (entry->object_type == type) {
                objects.push_back(std::string(word) + " " + named(name));
            }
        }
    }
    return objects;
}

namespace {

MdbTableDef* readTable(MdbHandle* mdb, const std::string& path, const std::string& name) {
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb, name.c_str());
    MdbTableDef* table = entry && entry->object_type == MDB_TABLE ? mdb_read_table(entry) : nullptr;
    if (!table) {
        throw Error("The table " + named(name) + " of '" + path + "' cannot be read",
                    errors::notADatabase);
    }
    if (!mdb_read_columns(table)) {
        mdb_free_tabledef(table);
        throw Error("The columns of table " + named(name) + " of '" + path + "' cannot be read",
                    errors::notADatabase);
    }
    return table;
}

} // namespace

JetTable JetFile::table(const std::string& name) {
    MdbTableDef* table = readTable(handle_->mdb, path_, name);
    auto described = describe(table, name);
    mdb_free_tabledef(table);
    return std::move(described.table);
}

JetRows JetFile::rows(const std::string& name) {
    auto cursor = std::make_unique<JetRows::Cursor>();
    cursor->mdb = handle_->mdb;
    cursor->table = readTable(handle_->mdb, path_, name);
    cursor->name = name;
    cursor->path = path_;
    cursor->sources = describe(cursor->table, name).sources;
    cursor->fields.resize(cursor->table->num_cols);
    cursor->longValueBuffers.resize(cursor->table->num_cols);
    for (const auto& source : cursor->sources) {
        if (source.decode == Decode::Ole) {
            auto& buffer = cursor->longValueBuffers[static_cast<std::size_t>(source.column)];
            buffer.resize(longValueBuffer);
            mdb_bind_column(cursor->table, source.column + 1, buffer.data(), nullptr);
        }
    }
    mdb_rewind_table(cursor->table);
    return JetRows(std::move(cursor));
}

JetRows::JetRows(std::unique_ptr<Cursor> cursor) : cursor_(std::move(cursor)) {}
JetRows::JetRows(JetRows&&) noexcept = default;
JetRows::~JetRows() = default;

bool JetRows::next(std::vector<Value>& row) {
    Cursor& c = *cursor_;
    if (c.done) {
        return false;
    }
    if (!mdb_fetch_row(c.table)) {
        c.done = true;
        // libmdb passes over a row it cannot take apart without a word; the
        // table's own count tells when that happened.
        if (c.rowsRead != c.table->num_rows) {
            throw Error("Only " + std::to_string(c.rowsRead) + " of the " +
                            std::to_string(c.table->num_rows) + " rows of table " + named(c.name) +
                            " could be read: the file '" + c.path + "' is damaged",
                        errors::notADatabase);
        }
        return false;
    }
    ++c.rowsRead;
    int start = 0;
    std::size_t size = 0;
    if (mdb_find_row(c.mdb, static_cast<int>(c.table->cur_row) - 1, &start, &size) != 0 ||
        mdb_crack_row(c.table, start & rowOffsetMask, size, c.fields.data()) < 0) {
        throw Error("A row of table " + named(c.name) + " cannot be read: the file '" + c.path +
                        "' is damaged",
                    errors::notADatabase);
    }
    row.clear();
    for (const auto& source : c.sources) {
        // libmdb lists the fields in column order; the search is a safeguard.
        const MdbField* field = nullptr;
        if (c.fields[static_cast<std::size_t>(source.column)].colnum == source.column) {
            field = &c.fields[static_cast<std::size_t>(source.column)];
        }
        for (std::size_t i = 0; !field && i < c.fields.size(); ++i) {
            if (c.fields[i].colnum == source.column) {
                field = &c.fields[i];
            }
        }
        row.push_back(field ? c.decode(source, *field) : Value{std::monostate{}});
    }
    return true;
}

} // namespace korvana::db::jetfile
