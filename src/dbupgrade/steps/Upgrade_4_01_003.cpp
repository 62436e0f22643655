#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Font names are unique.
void Upgrade_4_01_003(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.003");
    if (session.hasTable("TidxFonts")) {
        session.run("add index TidxFonts.Name", [&] {
            addIndex(session.db(), "TidxFonts",
                     {.name = "Name", .fields = {"Name"}, .unique = true});
        });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
