#include "db/Recordset.h"

#include "db/DbErrors.h"
#include "db/DefaultExpression.h"
#include "db/SqlNames.h"
#include "db/ValueBinding.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>

namespace korvana::db {

namespace {

std::string selectColumns(const TableDef& table) {
    std::string list;
    for (const auto& field : table.fields) {
        list += (list.empty() ? "" : ", ") + quoteIdentifier(field.name);
    }
    return list;
}

} // namespace

Recordset::Recordset(std::shared_ptr<sqlite::Database> connection, TableDef table,
                     RecordsetType type)
    : connection_(std::move(connection)), table_(std::move(table)), type_(type) {
    placeFirst();
}

std::string Recordset::orderBy() const {
    std::string order;
    if (index_) {
        for (const auto& field : table_.indexes[*index_].fields) {
            order += quoteIdentifier(field) + ", ";
        }
    }
    return order + "rowid";
}

void Recordset::placeFirst() {
    auto query = connection_->prepare("SELECT rowid FROM " + quoteIdentifier(table_.name) +
                                      " ORDER BY " + orderBy() + " LIMIT 1");
    current_ = query.step() ? std::optional<std::int64_t>(query.getInt(0)) : std::nullopt;
    ordered_ = false;
    order_.clear();
    positionOf_.clear();
    position_ = 0;
    currentDeleted_ = false;
    cache_.reset();
}

void Recordset::ensureOrdered() const {
    if (ordered_) {
        return;
    }
    auto query = connection_->prepare("SELECT rowid FROM " + quoteIdentifier(table_.name) +
                                      " ORDER BY " + orderBy());
    order_.clear();
    while (query.step()) {
        order_.push_back(query.getInt(0));
    }
    ordered_ = true;
    positionOf_.clear();
    position_ = order_.size();
    if (current_) {
        const auto found = std::find(order_.begin(), order_.end(), *current_);
        position_ = static_cast<std::size_t>(found - order_.begin());
        if (found == order_.end()) {
            // Gone since it was found: it stays current until the next move.
            order_.push_back(*current_);
        }
    }
}

std::optional<std::int64_t> Recordset::placedRow() const {
    if (!ordered_) {
        return current_;
    }
    if (position_ >= order_.size()) {
        return std::nullopt;
    }
    return order_[position_];
}

std::optional<std::int64_t> Recordset::currentRow() const {
    if (currentDeleted_) {
        return std::nullopt;
    }
    return placedRow();
}

void Recordset::setIndex(std::string_view indexName) {
    if (type_ != RecordsetType::Table) {
        throw Error("Only table recordsets have a current index ('" + table_.name + "')",
                    errors::operationNotSupported);
    }
    const IndexDef& index = table_.index(indexName);
    index_ = static_cast<std::size_t>(&index - table_.indexes.data());
    placeFirst();
}

bool Recordset::seek(std::string_view comparison, const std::vector<Value>& key) {
    if (type_ != RecordsetType::Table) {
        throw Error("Seek needs a table recordset ('" + table_.name + "')",
                    errors::operationNotSupported);
    }
    if (!index_) {
        throw Error("Seek on table '" + table_.name + "' without a current index",
                    errors::invalidArgument);
    }
    if (comparison != "=") {
        throw Error("Seek '" + std::string(comparison) + "' is not supported, only '='",
                    errors::operationNotSupported);
    }
    const IndexDef& index = table_.indexes[*index_];
    if (key.empty() || key.size() > index.fields.size()) {
        throw Error("Seek on index '" + index.name + "' of table '" + table_.name +
                        "' needs 1 to " + std::to_string(index.fields.size()) + " key values",
                    errors::invalidArgument);
    }
    std::string condition;
    std::string order;
    for (std::size_t i = 0; i < index.fields.size(); ++i) {
        const std::string column = quoteIdentifier(index.fields[i]);
        if (i < key.size()) {
            condition +=
                (condition.empty() ? "" : " AND ") + column + " IS ?" + std::to_string(i + 1);
        }
        order += column + ", ";
    }
    auto query =
        connection_->prepare("SELECT rowid FROM " + quoteIdentifier(table_.name) + " WHERE " +
                             condition + " ORDER BY " + order + "rowid LIMIT 1");
    for (std::size_t i = 0; i < key.size(); ++i) {
        const FieldDef& field = table_.field(index.fields[i]);
        bindValue(query, static_cast<int>(i + 1), normaliseForField(key[i], field.type));
    }
    noMatch_ = !query.step();
    if (noMatch_) {
        placeAt(std::nullopt);
        return false;
    }
    placeAt(query.getInt(0));
    return true;
}

void Recordset::placeAt(std::optional<std::int64_t> rowId) {
    cache_.reset();
    currentDeleted_ = false;
    if (!ordered_) {
        current_ = rowId;
        return;
    }
    if (!rowId) {
        position_ = order_.size();
        return;
    }
    if (positionOf_.empty()) {
        for (std::size_t i = 0; i < order_.size(); ++i) {
            positionOf_[order_[i]] = i;
        }
    }
    const auto found = positionOf_.find(*rowId);
    if (found != positionOf_.end()) {
        position_ = found->second;
        return;
    }
    // Written since the recordset was filled, by another recordset or a
    // statement: it joins at the end.
    order_.push_back(*rowId);
    position_ = order_.size() - 1;
    positionOf_[*rowId] = position_;
}

void Recordset::moveFirst() {
    placeFirst();
}

void Recordset::moveNext() {
    ensureOrdered();
    if (position_ >= order_.size()) {
        throw Error("No current record in table '" + table_.name + "'", errors::noCurrentRecord);
    }
    if (currentDeleted_) {
        // The deleted record left the order; its successor took its place.
        currentDeleted_ = false;
    } else {
        ++position_;
    }
    cache_.reset();
}

bool Recordset::eof() const {
    return !placedRow();
}

std::int64_t Recordset::recordCount() const {
    ensureOrdered();
    return static_cast<std::int64_t>(order_.size());
}

void Recordset::requireCurrent() const {
    if (!currentRow()) {
        throw Error("No current record in table '" + table_.name + "'", errors::noCurrentRecord);
    }
}

std::size_t Recordset::fieldIndex(std::string_view name) const {
    const FieldDef& field = table_.field(name);
    return static_cast<std::size_t>(&field - table_.fields.data());
}

const std::vector<Value>& Recordset::currentValues() const {
    requireCurrent();
    if (!cache_) {
        auto query = connection_->prepare("SELECT " + selectColumns(table_) + " FROM " +
                                          quoteIdentifier(table_.name) + " WHERE rowid = ?1");
        query.bind(1, *currentRow());
        if (!query.step()) {
            throw Error("The current record of table '" + table_.name + "' was deleted",
                        errors::noCurrentRecord);
        }
        std::vector<Value> values;
        for (std::size_t i = 0; i < table_.fields.size(); ++i) {
            values.push_back(readValue(query, static_cast<int>(i), table_.fields[i].type));
        }
        cache_ = std::move(values);
    }
    return *cache_;
}

Value Recordset::field(std::string_view name) const {
    const std::size_t index = fieldIndex(name);
    if (mode_ != EditMode::None && pending_[index]) {
        return *pending_[index];
    }
    if (mode_ == EditMode::Add) {
        // A new record shows the defaults it will get.
        const FieldDef& field = table_.fields[index];
        auto literal = defaultLiteral(field, table_.name);
        if (!literal && field.type == DaoType::Boolean) {
            literal = "0";
        }
        if (!literal) {
            return std::monostate{};
        }
        auto query = connection_->prepare("SELECT " + *literal);
        query.step();
        return readValue(query, 0, field.type);
    }
    return currentValues()[index];
}

void Recordset::setField(std::string_view name, const Value& value) {
    const std::size_t index = fieldIndex(name);
    if (mode_ == EditMode::None) {
        throw Error("Field '" + table_.name + "." + table_.fields[index].name +
                        "' written without AddNew or Edit",
                    errors::updateWithoutEdit);
    }
    const FieldDef& field = table_.fields[index];
    if (field.autoNumber) {
        throw Error("Field '" + table_.name + "." + field.name +
                        "' is an auto number and cannot be written",
                    errors::invalidArgument);
    }
    pending_[index] = normaliseForField(value, field.type);
}

void Recordset::addNew() {
    mode_ = EditMode::Add;
    pending_.assign(table_.fields.size(), std::nullopt);
}

void Recordset::edit() {
    requireCurrent();
    mode_ = EditMode::Edit;
    pending_.assign(table_.fields.size(), std::nullopt);
}

void Recordset::cancelUpdate() {
    mode_ = EditMode::None;
    pending_.clear();
}

void Recordset::update() {
    if (mode_ == EditMode::None) {
        throw Error("Update on table '" + table_.name + "' without AddNew or Edit",
                    errors::updateWithoutEdit);
    }
    std::string columns;
    std::string values;
    std::vector<const Value*> bound;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (!pending_[i]) {
            continue;
        }
        const std::string column = quoteIdentifier(table_.fields[i].name);
        const std::string parameter = "?" + std::to_string(bound.size() + 1);
        if (mode_ == EditMode::Add) {
            columns += (columns.empty() ? "" : ", ") + column;
            values += (values.empty() ? "" : ", ") + parameter;
        } else {
            columns += (columns.empty() ? "" : ", ") + column + " = " + parameter;
        }
        bound.push_back(&*pending_[i]);
    }
    const std::string table = quoteIdentifier(table_.name);
    if (mode_ == EditMode::Add) {
        const std::string sql =
            bound.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                          : "INSERT INTO " + table + " (" + columns + ") VALUES (" + values + ")";
        auto insert = connection_->prepare(sql);
        for (std::size_t i = 0; i < bound.size(); ++i) {
            bindValue(insert, static_cast<int>(i + 1), *bound[i]);
        }
        insert.run();
        lastModified_ = connection_->lastInsertRowId();
        // Once the order is read, records added join its end.
        if (ordered_) {
            if (!positionOf_.empty()) {
                positionOf_[*lastModified_] = order_.size();
            }
            order_.push_back(*lastModified_);
        }
    } else {
        requireCurrent();
        const std::int64_t rowId = *currentRow();
        if (!bound.empty()) {
            auto change =
                connection_->prepare("UPDATE " + table + " SET " + columns + " WHERE rowid = ?" +
                                     std::to_string(bound.size() + 1));
            for (std::size_t i = 0; i < bound.size(); ++i) {
                bindValue(change, static_cast<int>(i + 1), *bound[i]);
            }
            change.bind(static_cast<int>(bound.size() + 1), rowId);
            change.run();
        }
        lastModified_ = rowId;
        cache_.reset();
    }
    mode_ = EditMode::None;
    pending_.clear();
}

void Recordset::deleteRecord() {
    requireCurrent();
    // The next move goes to the successor, which only the order can tell.
    ensureOrdered();
    if (mode_ != EditMode::None) {
        cancelUpdate();
    }
    auto remove =
        connection_->prepare("DELETE FROM " + quoteIdentifier(table_.name) + " WHERE rowid = ?1");
    remove.bind(1, order_[position_]);
    remove.run();
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(position_));
    positionOf_.clear();
    currentDeleted_ = true;
    cache_.reset();
}

Bookmark Recordset::bookmark() const {
    requireCurrent();
    return *currentRow();
}

void Recordset::setBookmark(Bookmark bookmark) {
    auto query =
        connection_->prepare("SELECT 1 FROM " + quoteIdentifier(table_.name) + " WHERE rowid = ?1");
    query.bind(1, bookmark);
    if (!query.step()) {
        throw Error("Invalid bookmark for table '" + table_.name + "'", errors::invalidArgument);
    }
    placeAt(bookmark);
}

Bookmark Recordset::lastModified() const {
    if (!lastModified_) {
        throw Error("No record of table '" + table_.name + "' has been added or changed",
                    errors::noCurrentRecord);
    }
    return *lastModified_;
}

} // namespace korvana::db
