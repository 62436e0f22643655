#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Group names are unique below their parent.
void Upgrade_4_01_002(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.002");
    if (session.hasTable("TidxGroups")) {
        session.run("add index TidxGroups.PIDName", [&] {
            addIndex(session.db(), "TidxGroups",
                     {.name = "PIDName", .fields = {"ParentID", "Name"}, .unique = true});
        });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
