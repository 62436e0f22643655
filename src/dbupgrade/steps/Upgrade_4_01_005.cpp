#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Device and item identity.
void Upgrade_4_01_005(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.005");
    db::Database& db = session.db();

    if (session.hasTable("TpdbDevices")) {
        const ColumnSpec columns[] = {
            // The separator's default is the bare point, as the engine has
            // always stored it.
            {.name = "HierarchBrowseSeparator",
             .type = db::DaoType::Text,
             .size = 1,
             .required = false,
             .allowZeroLength = true,
             .defaultValue = ".",
             .unicodeCompression = true,
             .description = "Trennzeichen zur Kennzeichnung der Itemstruktur"},
            {.name = "ShortDescriptor",
             .type = db::DaoType::Text,
             .size = 255,
             .required = false,
             .allowZeroLength = true,
             .defaultValue = std::string(emptyStringDefault),
             .unicodeCompression = true,
             .description = "Kurzbezeichner der Komponente"},
            {.name = "ProgIDConfigTool",
             .type = db::DaoType::Text,
             .size = 255,
             .required = false,
             .allowZeroLength = true,
             .defaultValue = std::string(emptyStringDefault),
             .unicodeCompression = true,
             .description = "ProgID des Konfigurationsprogramms"},
            {.name = "IsBrowsed",
             .type = db::DaoType::Boolean,
             .required = false,
             .defaultValue = "False",
             .unicodeCompression = true,
             .description = "OPC-Server, die einmal gebrowst wurden, dürfen nicht mehr in der "
                            "ProgID geändert werden"},
        };
        for (const auto& column : columns) {
            session.run("add column TpdbDevices." + column.name,
                        [&] { addColumn(db, "TpdbDevices", column); });
        }
    }

    if (session.hasTable("TpdbItems")) {
        session.run("add index TpdbItems.UniqueItemAccess", [&] {
            addIndex(
                db, "TpdbItems",
                {.name = "UniqueItemAccess", .fields = {"ItemAccess", "DeviceID"}, .unique = true});
        });
        session.run("add index TpdbItems.UniqueName", [&] {
            addIndex(db, "TpdbItems",
                     {.name = "UniqueName", .fields = {"Name", "DeviceID"}, .unique = true});
        });
    }

    session.finish();
}

} // namespace korvana::dbupgrade
