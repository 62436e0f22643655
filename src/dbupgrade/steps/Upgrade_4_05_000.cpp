#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Archives may be told to start no new file.
void Upgrade_4_05_000(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.05.000");
    auto& database = session.db();
    session.run("allow empty TchrArchives.NewFile",
                [&] { database.setAllowZeroLength("TchrArchives", "NewFile", true); });
    session.run("set default of TchrArchives.NewFile", [&] {
        database.setDefaultValue("TchrArchives", "NewFile", std::string(emptyStringDefault));
    });
    session.finish();
}

} // namespace korvana::dbupgrade
