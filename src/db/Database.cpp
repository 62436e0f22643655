#include "db/Database.h"

#include "db/Catalogue.h"
#include "db/DatabaseFile.h"
#include "db/DbErrors.h"
#include "db/DefaultExpression.h"
#include "db/JetSchemaView.h"
#include "db/SchemaWriter.h"
#include "db/SqlNames.h"
#include "db/UnstoredColumns.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <filesystem>

namespace korvana::db {

namespace {

std::string where(std::string_view table, std::string_view field) {
    return "'" + std::string(table) + "." + std::string(field) + "'";
}

void checkProperty(std::string_view table, const FieldDef& field, const Property& property) {
    checkName("property", property.name);
    if (!daoTypeFromNumber(daoTypeNumber(property.type))) {
        throw Error("Property '" + property.name + "' of field " + where(table, field.name) +
                        " has an unknown type",
                    errors::invalidArgument);
    }
}

// Checks a new field and fills in what the engine decides (sizes of fixed-size
// types, no zero-length rule outside text).
void prepareField(FieldDef& field, std::string_view table) {
    checkName("field", field.name);
    if (!daoTypeFromNumber(daoTypeNumber(field.type))) {
        throw Error("Field " + where(table, field.name) + " has an unknown type " +
                        std::to_string(daoTypeNumber(field.type)),
                    errors::invalidArgument);
    }
    if (hasSize(field.type)) {
        if (field.size < 1 || field.size > maxTextSize) {
            throw Error("Field " + where(table, field.name) + " has the size " +
                            std::to_string(field.size) + "; Text sizes are 1 to 255",
                        errors::invalidArgument);
        }
    } else {
        field.size = fixedFieldSize(field.type);
    }
    if (!isTextType(field.type)) {
        field.allowZeroLength = false;
    }
    if (field.autoNumber && field.type != DaoType::Long) {
        throw Error("Field " + where(table, field.name) +
                        " cannot be an auto number: only Long "
                        "fields count",
                    errors::invalidArgument);
    }
    if (field.autoNumber) {
        field.defaultValue.reset();
    }
    defaultLiteral(field, table); // refuses what cannot be a default
    for (std::size_t i = 0; i < field.properties.size(); ++i) {
        checkProperty(table, field, field.properties[i]);
        for (std::size_t j = 0; j < i; ++j) {
            if (equalsIgnoreCase(field.properties[i].name, field.properties[j].name)) {
                throw Error("Property '" + field.properties[i].name + "' given twice for field " +
                                where(table, field.name),
                            errors::propertyExists);
            }
        }
    }
}

void prepareIndex(const TableDef& table, IndexDef& index) {
    checkName("index", index.name);
    if (index.fields.empty()) {
        throw Error("Index '" + index.name + "' of table '" + table.name + "' has no fields",
                    errors::invalidArgument);
    }
    for (std::size_t i = 0; i < index.fields.size(); ++i) {
        const FieldDef* field = table.findField(index.fields[i]);
        if (!field) {
            throw Error("Index '" + index.name + "' of table '" + table.name +
                            "' names the missing field '" + index.fields[i] + "'",
                        errors::itemNotFound);
        }
        index.fields[i] = field->name;
        for (std::size_t j = 0; j < i; ++j) {
            if (equalsIgnoreCase(index.fields[i], index.fields[j])) {
                throw Error("Index '" + index.name + "' of table '" + table.name +
                                "' names the field '" + index.fields[i] + "' twice",
                            errors::invalidArgument);
            }
        }
    }
    if (index.primary) {
        for (const auto& other : table.indexes) {
            if (other.primary && !equalsIgnoreCase(other.name, index.name)) {
                throw Error("Table '" + table.name + "' already has the primary index '" +
                                other.name + "'",
                            errors::primaryExists);
            }
        }
    }
}

void writeTriggersOf(SchemaWriter& writer, const TableDef& table,
                     const std::vector<std::string>& fields) {
    for (const auto& field : fields) {
        writer.writeFieldTriggers(table, field);
    }
}

// Jet keeps a field that an index covers, and a table's last field.
void checkDeletable(const TableDef& table, const FieldDef& field) {
    for (const auto& index : table.indexes) {
        for (const auto& name : index.fields) {
            if (equalsIgnoreCase(name, field.name)) {
                throw Error("Field " + where(table.name, field.name) +
                                " cannot be deleted: it is part of the index '" + index.name + "'",
                            errors::fieldInIndex);
            }
        }
    }
    if (table.fields.size() == 1) {
        throw Error("Field " + where(table.name, field.name) +
                        " cannot be deleted: it is the table's only field",
                    errors::invalidArgument);
    }
}

// A table as it would be, for reading a statement against it.
class PlannedTable : public jet::SchemaView {
  public:
    explicit PlannedTable(const TableDef& definition)
        : table_(JetSchemaView::describe(definition)) {}
    std::optional<jet::TableInfo> table(std::string_view name) const override {
        if (equalsIgnoreCase(name, table_.name)) {
            return table_;
        }
        return std::nullopt;
    }

  private:
    jet::TableInfo table_;
};

int nextPosition(const TableDef& table) {
    int next = 0;
    for (const auto& field : table.fields) {
        next = std::max(next, field.ordinalPosition.value_or(0) + 1);
    }
    return next;
}

#ifndef NDEBUG
// What every schema operation asserts before it releases its savepoint: the
// catalogue and SQLite agree about the table it changed. The assert can only
// name this call, so the disagreement itself is told here.
bool catalogueMatchesSchema(sqlite::Database& db, std::string_view table) {
    const auto disagreement = Catalogue(db).disagreementAbout(table);
    if (disagreement) {
        std::fprintf(stderr, "The catalogue disagrees with the schema: %s\n",
                     disagreement->c_str());
    }
    return !disagreement;
}
#endif

bool sameOrder(const std::vector<FieldDef>& a, const std::vector<FieldDef>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return equalsIgnoreCase(x.name, y.name);
    });
}

} // namespace

Database::Database(std::string path, std::shared_ptr<sqlite::Database> connection)
    : path_(std::move(path)), connection_(std::move(connection)) {}

Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;
Database::~Database() = default;

Database Database::open(const std::string& path, Durability durability) {
    checkDatabaseFile(path);
    auto connection = std::make_shared<sqlite::Database>(path, sqlite::Database::Mode::ReadWrite);
    if (durability == Durability::Scratch) {
        connection->exec("PRAGMA synchronous = OFF");
    }
    Catalogue(*connection).verify();
    return Database(path, std::move(connection));
}

Database Database::create(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        throw Error("Database '" + path + "' already exists", errors::databaseExists);
    }
    try {
        auto connection = std::make_shared<sqlite::Database>(path, sqlite::Database::Mode::Create);
        sqlite::Transaction transaction(*connection);
        Catalogue::create(*connection);
        UnstoredColumns::create(*connection);
        transaction.commit();
        return Database(path, std::move(connection));
    } catch (...) {
        std::filesystem::remove(path, error);
        throw;
    }
}

void Database::close() {
    connection_.reset();
}

sqlite::Database& Database::connection() const {
    if (!connection_) {
        throw Error("Database '" + path_ + "' is closed", errors::invalidArgument);
    }
    return *connection_;
}

Catalogue Database::catalogue() const {
    return Catalogue(connection());
}

sqlite::Transaction Database::transaction() {
    return sqlite::Transaction(connection());
}

std::vector<std::string> Database::tableNames() const {
    return catalogue().tableNames();
}

bool Database::hasTable(std::string_view name) const {
    return catalogue().storedTableName(name).has_value();
}

TableDef Database::tableDef(std::string_view name) const {
    return catalogue().load(name);
}

void Database::appendTableDef(const TableDef& definition) {
    checkName("table", definition.name);
    if (isInternalTableName(definition.name)) {
        throw Error("Invalid table name '" + definition.name + "': the prefix is reserved",
                    errors::invalidName);
    }
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    if (catalogue.schemaObjectExists(definition.name)) {
        throw Error("Table '" + definition.name + "' already exists", errors::tableExists);
    }
    TableDef table = definition;
    if (table.fields.empty()) {
        throw Error("Table '" + table.name + "' has no fields", errors::invalidArgument);
    }
    int autoNumbers = 0;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        FieldDef& field = table.fields[i];
        prepareField(field, table.name);
        if (!field.ordinalPosition) {
            field.ordinalPosition = static_cast<int>(i);
        }
        autoNumbers += field.autoNumber ? 1 : 0;
        for (std::size_t j = 0; j < i; ++j) {
            if (equalsIgnoreCase(field.name, table.fields[j].name)) {
                throw Error("Field " + where(table.name, field.name) + " is defined twice",
                            errors::fieldExists);
            }
        }
    }
    if (autoNumbers > 1) {
        throw Error("Table '" + table.name + "' has more than one auto number field",
                    errors::invalidArgument);
    }
    SchemaWriter::sortFields(table.fields);
    for (std::size_t i = 0; i < table.indexes.size(); ++i) {
        prepareIndex(table, table.indexes[i]);
        for (std::size_t j = 0; j < i; ++j) {
            if (equalsIgnoreCase(table.indexes[i].name, table.indexes[j].name)) {
                throw Error("Index '" + table.indexes[i].name + "' of table '" + table.name +
                                "' is defined twice",
                            errors::indexExists);
            }
        }
    }
    SchemaWriter(db).createTable(table);
    catalogue.save(table);
    assert(catalogueMatchesSchema(db, table.name));
    savepoint.release();
}

void Database::deleteTableDef(std::string_view table) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef definition = catalogue.load(table);
    db.exec("DROP TABLE " + quoteIdentifier(definition.name));
    catalogue.remove(definition.name);
    UnstoredColumns(db).rewritten(definition.name);
    assert(catalogueMatchesSchema(db, definition.name));
    savepoint.release();
}

void Database::appendField(std::string_view table, const FieldDef& field) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef current = catalogue.load(table);
    FieldDef added = field;
    prepareField(added, current.name);
    if (current.findField(added.name)) {
        throw Error("Field " + where(current.name, added.name) + " already exists",
                    errors::fieldExists);
    }
    if (added.autoNumber && current.autoNumberField()) {
        throw Error("Table '" + current.name + "' already has an auto number field",
                    errors::invalidArgument);
    }
    const int last = nextPosition(current);
    if (!added.ordinalPosition) {
        added.ordinalPosition = last;
    }
    TableDef target = current;
    target.fields.push_back(added);
    SchemaWriter::sortFields(target.fields, added.name);
    SchemaWriter writer(db);
    // An auto number must be the table's integer key, which only a new table
    // can have; a field placed before others needs the columns moved.
    if (added.autoNumber || !equalsIgnoreCase(target.fields.back().name, added.name)) {
        writer.rebuild(current, target);
    } else {
        writer.addColumn(target, added);
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::renameField(std::string_view table, std::string_view oldName,
                           std::string_view newName) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    FieldDef& field = target.field(oldName);
    checkName("field", newName);
    const FieldDef* clash = target.findField(newName);
    if (clash && clash != &field) {
        throw Error("Field " + where(target.name, newName) + " already exists",
                    errors::fieldExists);
    }
    const std::string previous = field.name;
    field.name = std::string(newName);
    for (auto& index : target.indexes) {
        for (auto& name : index.fields) {
            if (equalsIgnoreCase(name, previous)) {
                name = field.name;
            }
        }
    }
    SchemaWriter(db).renameColumn(target, previous, newName);
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::deleteField(std::string_view table, std::string_view fieldName) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef current = catalogue.load(table);
    const FieldDef& field = current.field(fieldName);
    checkDeletable(current, field);
    TableDef target = current;
    target.fields.erase(target.fields.begin() + (&field - current.fields.data()));
    SchemaWriter writer(db);
    if (field.autoNumber) {
        writer.rebuild(current, target);
    } else {
        writer.dropColumn(target, field.name);
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::changeFields(std::string_view table, const std::vector<std::string>& deleted,
                            const std::vector<FieldDef>& appended) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef current = catalogue.load(table);
    TableDef target = current;
    for (const auto& name : deleted) {
        const FieldDef& field = target.field(name);
        checkDeletable(target, field);
        target.fields.erase(target.fields.begin() + (&field - target.fields.data()));
    }
    for (const auto& field : appended) {
        FieldDef added = field;
        prepareField(added, target.name);
        if (target.findField(added.name)) {
            throw Error("Field " + where(target.name, added.name) + " already exists",
                        errors::fieldExists);
        }
        if (added.autoNumber) {
            throw Error("Field " + where(target.name, added.name) +
                            " cannot be an auto number: the table is not made anew for it",
                        errors::invalidArgument);
        }
        if (!added.ordinalPosition) {
            added.ordinalPosition = nextPosition(target);
        }
        target.fields.push_back(added);
        SchemaWriter::sortFields(target.fields, added.name);
    }
    SchemaWriter(db).remake(current, target);
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::changeField(std::string_view table, const FieldDef& replacement,
                           std::string_view copyStatement) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef current = catalogue.load(table);
    const FieldDef& old = current.field(replacement.name);
    checkDeletable(current, old);
    const std::string name = old.name;
    FieldDef temporary = replacement;
    temporary.name = name + "Temp";
    const int position = replacement.ordinalPosition.value_or(old.ordinalPosition.value_or(0));
    temporary.ordinalPosition.reset();

    // The new column in the old one's place, under the old name: the field
    // the table ends up with.
    const auto finalLayout = [&](const TableDef& before, FieldDef field) {
        TableDef target = before;
        std::erase_if(target.fields,
                      [&](const FieldDef& f) { return equalsIgnoreCase(f.name, name); });
        field.name = name;
        field.ordinalPosition = position;
        target.fields.push_back(std::move(field));
        SchemaWriter::sortFields(target.fields, name);
        return target;
    };

    TableDef planned = current;
    planned.fields.push_back(temporary);
    const auto copy = jet::compileWholeColumnAssignment(copyStatement, PlannedTable(planned));
    if (copy && equalsIgnoreCase(copy->column, temporary.name) && !temporary.autoNumber) {
        // The usual copy fills the new column of every row from the old one.
        // The copy of the table computes it instead, so every row is written
        // once; its values are held to the new column's rules all the same.
        prepareField(temporary, current.name);
        if (current.findField(temporary.name)) {
            throw Error("Field " + where(current.name, temporary.name) + " already exists",
                        errors::fieldExists);
        }
        const TableDef target = finalLayout(current, temporary);
        SchemaWriter(db).rebuild(
            current, target, SchemaWriter::FieldSource{name, {}, copy->value, copy->parameters});
        catalogue.save(target);
        assert(catalogueMatchesSchema(db, target.name));
        savepoint.release();
        return;
    }

    appendField(current.name, temporary);
    // A copy that fails leaves the old column, and its values, in place.
    execute(copyStatement);
    // Dropping the old column, placing the new one and giving it the old name
    // are done by one copy of the table: each on its own rewrites every row.
    const TableDef filled = catalogue.load(current.name);
    const TableDef target = finalLayout(filled, filled.field(temporary.name));
    SchemaWriter(db).rebuild(filled, target,
                             SchemaWriter::FieldSource{name, temporary.name, {}, {}});
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::setRequired(std::string_view table, std::string_view fieldName, bool required) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    FieldDef& field = target.field(fieldName);
    field.required = required;
    SchemaWriter(db).writeFieldTriggers(target, field.name);
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::setAllowZeroLength(std::string_view table, std::string_view fieldName, bool allow) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    FieldDef& field = target.field(fieldName);
    if (!isTextType(field.type)) {
        throw Error("Field " + where(target.name, field.name) +
                        " is not a text field and has no zero-length rule",
                    errors::invalidArgument);
    }
    field.allowZeroLength = allow;
    SchemaWriter(db).writeFieldTriggers(target, field.name);
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::setDefaultValue(std::string_view table, std::string_view fieldName,
                               std::optional<std::string> expression) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef current = catalogue.load(table);
    TableDef target = current;
    FieldDef& field = target.field(fieldName);
    if (field.autoNumber) {
        throw Error("Field " + where(target.name, field.name) +
                        " is an auto number and takes no default",
                    errors::invalidArgument);
    }
    const auto before = defaultLiteral(field, target.name);
    if (expression && trim(*expression).empty()) {
        // An empty expression is how a default is removed; keep it as written.
        field.defaultValue = expression;
    } else {
        field.defaultValue = std::move(expression);
    }
    const auto after = defaultLiteral(field, target.name);
    if (before != after) {
        SchemaWriter writer(db);
        try {
            sqlite::Savepoint inPlace(db);
            writer.changeDefault(current, target, field.name);
            inPlace.release();
        } catch (const Error&) {
            // A definition the engine did not write: rows stored before keep
            // their values through a copy instead.
            writer.rebuild(current, target);
        }
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::setOrdinalPosition(std::string_view table, std::string_view fieldName,
                                  int position) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    const TableDef current = catalogue.load(table);
    TableDef target = current;
    FieldDef& field = target.field(fieldName);
    field.ordinalPosition = position;
    const std::string moved = field.name;
    SchemaWriter::sortFields(target.fields, moved);
    if (!sameOrder(current.fields, target.fields)) {
        SchemaWriter(db).rebuild(current, target);
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::appendProperty(std::string_view table, std::string_view fieldName,
                              const Property& property) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    FieldDef& field = target.field(fieldName);
    checkProperty(target.name, field, property);
    if (field.findProperty(property.name)) {
        throw Error("Property '" + property.name + "' of field " + where(target.name, field.name) +
                        " already exists",
                    errors::propertyExists);
    }
    field.properties.push_back(property);
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

Property Database::property(std::string_view table, std::string_view fieldName,
                            std::string_view name) const {
    const TableDef definition = catalogue().load(table);
    const FieldDef& field = definition.field(fieldName);
    if (const Property* found = field.findProperty(name)) {
        return *found;
    }
    throw Error("Property '" + std::string(name) + "' not found on field " +
                    where(definition.name, field.name),
                errors::propertyNotFound);
}

void Database::setProperty(std::string_view table, std::string_view fieldName,
                           std::string_view name, const Value& value) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    FieldDef& field = target.field(fieldName);
    Property* found = field.findProperty(name);
    if (!found) {
        throw Error("Property '" + std::string(name) + "' not found on field " +
                        where(target.name, field.name),
                    errors::propertyNotFound);
    }
    found->value = value;
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::appendIndex(std::string_view table, const IndexDef& index) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    IndexDef added = index;
    prepareIndex(target, added);
    if (target.findIndex(added.name)) {
        throw Error("Index '" + added.name + "' of table '" + target.name + "' already exists",
                    errors::indexExists);
    }
    SchemaWriter writer(db);
    writer.createIndex(target, added);
    target.indexes.push_back(added);
    if (added.forbidsNull()) {
        writeTriggersOf(writer, target, added.fields);
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

void Database::deleteIndex(std::string_view table, std::string_view indexName) {
    auto& db = connection();
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    const IndexDef& index = target.index(indexName);
    const IndexDef removed = index;
    SchemaWriter writer(db);
    writer.dropIndex(target.name, index.name);
    target.indexes.erase(target.indexes.begin() + (&index - target.indexes.data()));
    if (removed.forbidsNull()) {
        writeTriggersOf(writer, target, removed.fields);
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

namespace {

template <typename Change>
void changeIndexFlags(sqlite::Database& db, std::string_view table, std::string_view indexName,
                      Change change) {
    sqlite::Savepoint savepoint(db);
    Catalogue catalogue(db);
    TableDef target = catalogue.load(table);
    const IndexDef& found = target.index(indexName);
    IndexDef changed = found;
    change(changed);
    prepareIndex(target, changed);
    SchemaWriter writer(db);
    if (changed.enforcesUniqueness() != found.enforcesUniqueness() ||
        (changed.forbidsNull() && !found.forbidsNull())) {
        writer.dropIndex(target.name, found.name);
        writer.createIndex(target, changed);
    }
    const bool nullRuleChanged = changed.forbidsNull() != found.forbidsNull();
    target.indexes[static_cast<std::size_t>(&found - target.indexes.data())] = changed;
    if (nullRuleChanged) {
        writeTriggersOf(writer, target, changed.fields);
    }
    catalogue.save(target);
    assert(catalogueMatchesSchema(db, target.name));
    savepoint.release();
}

} // namespace

void Database::setIndexPrimary(std::string_view table, std::string_view index, bool primary) {
    changeIndexFlags(connection(), table, index, [&](IndexDef& i) { i.primary = primary; });
}

void Database::setIndexUnique(std::string_view table, std::string_view index, bool unique) {
    changeIndexFlags(connection(), table, index, [&](IndexDef& i) { i.unique = unique; });
}

void Database::setIndexRequired(std::string_view table, std::string_view index, bool required) {
    changeIndexFlags(connection(), table, index, [&](IndexDef& i) { i.required = required; });
}

Recordset Database::openRecordset(std::string_view table, RecordsetType type) {
    TableDef definition = catalogue().load(table);
    return Recordset(connection_, std::move(definition), type);
}

void Database::compact(const std::string& source, const std::string& destination) {
    std::error_code error;
    if (std::filesystem::exists(destination, error)) {
        throw Error("Database '" + destination + "' already exists", errors::databaseExists);
    }
    {
        Database database = open(source);
        try {
            auto vacuum = database.connection().prepare("VACUUM INTO ?1");
            vacuum.bind(1, destination);
            vacuum.run();
        } catch (...) {
            std::filesystem::remove(destination, error);
            throw;
        }
    }
    try {
        open(destination).close();
    } catch (...) {
        std::filesystem::remove(destination, error);
        throw;
    }
}

} // namespace korvana::db
