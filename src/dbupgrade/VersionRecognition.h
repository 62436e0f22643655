#pragma once

#include "db/Database.h"
#include "db/TableDef.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::dbupgrade {

// A table of the database being recognised, or nothing when it has none of
// that name.
using TableLookup = std::function<std::optional<db::TableDef>(std::string_view table)>;

// The tables of a project database; it must outlive the lookup.
TableLookup tablesOf(const db::Database& database);

struct RecognisedVersion {
    // The newest ladder version whose characteristic changes are all present;
    // empty when not even the first rung's are.
    std::string version;
    // Why: each change found or missed, with the rung it belongs to.
    std::vector<std::string> reasons;
};

// The layout version of a database whose settings do not say it, read from its
// schema. Each rung that leaves a trace in the schema (a column, an index, a
// table, a changed type, default or empty-text rule) is looked for in order:
// the version is the last rung found before the first one missing. A rung whose
// tables are all absent says nothing either way, and rungs that only change
// rows count as reached when a later rung is found, since the steps run in
// order. So the check runs exactly the steps the schema shows to be missing.
RecognisedVersion recogniseVersion(const TableLookup& lookup);

} // namespace korvana::dbupgrade
