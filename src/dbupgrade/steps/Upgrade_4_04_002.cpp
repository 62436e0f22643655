#include "db/Recordset.h"
#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/RowIds.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <optional>

namespace korvana::dbupgrade {

// The text groups of the user administration; the texts of the old rights
// group move to the single rights group. The names are German in every
// language, like the other system groups.
void Upgrade_4_04_002(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.04.002");
    auto& database = session.db();

    std::optional<db::Recordset> groups;
    session.run("open TidxGroups", [&] { groups.emplace(database.openRecordset("TidxGroups")); });
    std::optional<std::int64_t> userAdminId;
    std::optional<std::int64_t> rightsId;
    std::int64_t oldRightsId = -1;
    if (groups) {
        session.run("add the group Benutzerverwaltung",
                    [&] { userAdminId = addGroup(database, 0, "Benutzerverwaltung", -4); });
        session.run("add the group Benutzerklassen", [&] {
            addGroup(database, rowids::require(userAdminId, "group Benutzerverwaltung"),
                     "Benutzerklassen", -40);
        });
        session.run("add the group Einzelberechtigungen", [&] {
            rightsId = addGroup(database, rowids::require(userAdminId, "group Benutzerverwaltung"),
                                "Einzelberechtigungen", -41);
        });
        session.run("find the old rights group", [&] {
            groups->setIndex("Type");
            if (groups->seek("=", {db::Value(std::int64_t{-110})})) {
                oldRightsId = rowids::asId(groups->field("ID")).value_or(-1);
            }
        });
        groups.reset();
    }
    if (oldRightsId > 0) {
        session.run("move the texts of the old rights group", [&] {
            database.execute(
                "UPDATE TidxTexts SET ParentID = " +
                std::to_string(rowids::require(rightsId, "group Einzelberechtigungen")) +
                " WHERE ParentID = " + std::to_string(oldRightsId));
        });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
