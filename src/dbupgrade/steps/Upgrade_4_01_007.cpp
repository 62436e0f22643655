#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

namespace {

// Items and structure members tell the unit chosen by the display apart from
// the unit the item itself brings.
void splitUnitClass(StepSession& session, const std::string& table, int position) {
    session.run("rename column " + table + ".UnitClassID", [&] {
        session.db().renameField(table, "UnitClassID", "UnitClassIDDisplayDependent");
    });
    session.run("add column " + table + ".UnitClassIDItemDependent", [&] {
        addColumn(session.db(), table,
                  {.name = "UnitClassIDItemDependent",
                   .type = db::DaoType::Long,
                   .required = false,
                   .defaultValue = "0",
                   .position = position,
                   .description = "Verweis auf Einheitentabelle"});
    });
}

ColumnSpec linePoint(std::string name, std::string defaultValue, std::string description) {
    return {.name = std::move(name),
            .type = db::DaoType::Text,
            .size = 255,
            .required = false,
            .allowZeroLength = true,
            .defaultValue = std::move(defaultValue),
            .unicodeCompression = true,
            .description = std::move(description)};
}

} // namespace

// Units, simulation.
void Upgrade_4_01_007(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.007");
    db::Database& db = session.db();

    if (session.hasTable("TpdbItems")) {
        splitUnitClass(session, "TpdbItems", 11);
    }
    if (session.hasTable("TpdbStructMembers")) {
        splitUnitClass(session, "TpdbStructMembers", 8);
    }

    if (session.hasTable("TpdbUnitClasses")) {
        session.run("add column TpdbUnitClasses.SwitchType", [&] {
            addColumn(db, "TpdbUnitClasses",
                      {.name = "SwitchType",
                       .type = db::DaoType::Long,
                       .required = false,
                       .defaultValue = "0",
                       .position = 2,
                       .description = "0=variablen- / 1=sprachabhängige Einheitenumschaltung"});
        });
    }

    if (session.hasTable("TpdbUnits")) {
        for (const char* column : {"PhysicalMaxVal", "PhysicalMinVal"}) {
            session.run(std::string("delete column TpdbUnits.") + column,
                        [&] { db.deleteField("TpdbUnits", column); });
        }
        // Two points of a straight line; the defaults give the identity.
        const ColumnSpec columns[] = {
            linePoint("x1", "0", "Erster Geradenpunkt x-Koordinate"),
            linePoint("y1", "0", "Erster Geradenpunkt y-Koordinate"),
            linePoint("x2", "1", "Zweiter Geradenpunkt x-Koordinate"),
            linePoint("y2", "1", "Zweiter Geradenpunkt y-Koordinate"),
        };
        for (const auto& column : columns) {
            session.run("add column TpdbUnits." + column.name,
                        [&] { addColumn(db, "TpdbUnits", column); });
        }
    }

    if (session.hasTable("TpdbItems")) {
        const ColumnSpec columns[] = {
            {.name = "ItemID",
             .type = db::DaoType::Long,
             .required = true,
             .defaultValue = "0",
             .description = "Verweis auf Item in TpdbItems"},
            {.name = "SimulationFunction",
             .type = db::DaoType::Text,
             .size = 50,
             .required = false,
             .allowZeroLength = true,
             .defaultValue = std::string(emptyStringDefault),
             .unicodeCompression = true,
             .description = "Name der Simulationsfunktion"},
            {.name = "SimulationParameters",
             .type = db::DaoType::Memo,
             .required = false,
             .allowZeroLength = true,
             .defaultValue = std::string(emptyStringDefault),
             .unicodeCompression = true,
             .description = "Parameter der Simulationsfunktion"},
        };
        const db::IndexDef indexes[] = {
            {.name = "ItemID",
             .fields = {"ItemID"},
             .primary = true,
             .unique = true,
             .required = true},
        };
        createTable(session, "TpdbSimulation", columns, indexes);
    }

    session.finish();
}

} // namespace korvana::dbupgrade
