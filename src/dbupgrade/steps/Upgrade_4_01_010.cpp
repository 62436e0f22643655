#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Archive sizes, aligned items.
void Upgrade_4_01_010(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.010");

    if (session.hasTable("TchrArchives")) {
        session.run("default of TchrArchives.MaxSamples",
                    [&] { session.db().setDefaultValue("TchrArchives", "MaxSamples", "1000"); });
    }

    if (session.hasTable("TpdbItems")) {
        const ColumnSpec columns[] = {{.name = "ItemID", .type = db::DaoType::Long}};
        const db::IndexDef indexes[] = {
            {.name = "ItemID", .fields = {"ItemID"}, .primary = true, .unique = true},
        };
        createTable(session, "TpdbAlign", columns, indexes);
    }

    session.finish();
}

} // namespace korvana::dbupgrade
