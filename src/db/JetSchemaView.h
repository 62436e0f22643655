#pragma once

#include "db/Catalogue.h"
#include "db/Sqlite.h"
#include "db/jet/JetSql.h"

namespace korvana::db {

// Shows the translator the user tables of a database with their DAO types;
// the engine's own tables stay invisible, so no statement can reach them.
class JetSchemaView : public jet::SchemaView {
  public:
    explicit JetSchemaView(const Catalogue& catalogue) : catalogue_(catalogue) {}
    std::optional<jet::TableInfo> table(std::string_view name) const override;

    static jet::TableInfo describe(const TableDef& definition);

  private:
    const Catalogue& catalogue_;
};

// Binds what the translator took out of a statement to ?1, ?2, ...
void bindJetParameters(sqlite::Statement& statement, const std::vector<jet::SqlValue>& parameters);

} // namespace korvana::db
