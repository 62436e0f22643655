#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// User codes, item options, unique control names and fonts described inline.
void Upgrade_4_04_005(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    StepSession session(environment, projectName, "4.04.005");
    auto& database = session.db();

    if (session.hasTable("TusrUsers")) {
        session.run("add column TusrUsers.Code", [&] {
            addColumn(database, "TusrUsers", text("Code", 255, "zusätzlicher Benutzercode"));
        });
    }
    if (session.hasTable("TpdbItems")) {
        session.run("add column TpdbItems.Options", [&] {
            addColumn(database, "TpdbItems",
                      plain("Options", db::DaoType::Long, "0", "Bitcodierte optionale Parameter"));
        });
    }
    if (session.hasTable("TidxControls")) {
        session.run("add index TidxControls.UniqueName", [&] {
            addIndex(database, "TidxControls",
                     index("UniqueName", {"Name", "ParentID"}, false, true));
        });
    }
    if (session.hasTable("TidxControls")) {
        session.run("add column TidxControls.FontInformation",
                    [&] { addColumn(database, "TidxControls", text("FontInformation", 255)); });
        session.run("delete column TidxControls.FontClassID",
                    [&] { database.deleteField("TidxControls", "FontClassID"); });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
